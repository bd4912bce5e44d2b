#include "hostSide/filterModule.h"
#include "hostSide/hostSession.h"
#include "hostStandIn/windowCloser.h"
#include "tests/support/scopedEnvironment.h"
#include "tests/support/temporaryFolder.h"

#include <QPointer>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Property {
    std::string vendor;
    std::string key;
    std::uint32_t id;
    std::uint32_t length;
    std::string data;
};

std::uint32_t int32At(const std::uint8_t* bytes)
{
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | std::uint32_t(bytes[3]) << 24;
}

// A code stored little-endian reads back reversed: "8BIM" is stored as "MIB8".
std::string codeAt(const std::uint8_t* bytes)
{
    return {char(bytes[3]), char(bytes[2]), char(bytes[1]), char(bytes[0])};
}

class LoadedModule : public ::testing::Test {
protected:
    FilterModule module;
    void SetUp() override
    {
        std::string error;
        ASSERT_FALSE(loadFilterModule(MODULE_PATH, &module, &error)) << error;
    }
    void TearDown() override { unloadFilterModule(&module); }
};

TEST_F(LoadedModule, PropertyListHasTheHostsLayoutFieldByField)
{
    const std::uint8_t* bytes = module.propertyList->bytes;
    EXPECT_EQ(bytes[0] | bytes[1] << 8, 1);
    EXPECT_EQ(int32At(bytes + 2), 0u);
    ASSERT_EQ(int32At(bytes + 6), 11u);
    std::vector<Property> properties;
    std::size_t at = 10;
    for (int i = 0; i < 11; ++i) {
        Property p {codeAt(bytes + at), codeAt(bytes + at + 4), int32At(bytes + at + 8),
            int32At(bytes + at + 12), {}};
        ASSERT_LE(at + 16 + p.length, PluginPropertyListSize);
        p.data.assign(reinterpret_cast<const char*>(bytes + at + 16), p.length);
        properties.push_back(p);
        at += 16 + p.length;
    }
    EXPECT_EQ(at, 526u);

    const std::string expression
        = "in (PSHOP_ImageMode, RGBMode, GrayScaleMode, Gray16Mode, RGB48Mode) "
          "&&(PSHOP_ImageDepth == 8 || PSHOP_ImageDepth == 16) "
          "&&(PSHOP_NumTrueChannels == 3 || PSHOP_NumTrueChannels == 1)";
    using namespace std::string_literals;
    const std::string straight = "\x01\x01\x08\x00"s;
    std::string cases;
    for (int i = 0; i < 7; ++i)
        cases += straight;
    const struct {
        const char* key;
        std::string data;
    } expected[] = {
        {"kind", "MFB8"},
        {"name", "\x10Morvanclarity...\0\0\0"s},
        {"catg", "\x08Tarnwick\0\0\0"s},
        {"vers", "\0\0\x04\0"s},
        {"wx86", "PluginMain\0\0"s},
        {"mode", "\x10\0\0\0"s},
        {"hstm",
            "\0\0\0\0CVRMCVRM\x80\x3e"
            "4f1c2a90-6b3e-11e0-8d15-0800200c7e21\0\0\0\0\0\0"s},
        {"enbl", expression + std::string(184 - expression.size(), '\0')},
        {"ms32", "\x10\x27\0\0\x10\x27\0\0"s},
        {"mn32", "\0\x01\0\0\0\x01\0\0"s},
        {"fici", cases},
    };
    for (int i = 0; i < 11; ++i) {
        SCOPED_TRACE(expected[i].key);
        EXPECT_EQ(properties[i].vendor, "8BIM");
        EXPECT_EQ(properties[i].key, expected[i].key);
        EXPECT_EQ(properties[i].id, 0u);
        EXPECT_EQ(properties[i].data, expected[i].data);
    }
    EXPECT_EQ(entryPointName(*module.propertyList), "PluginMain");
}

TEST(FilterModule, RefusesLibrariesThatAreNoFilterModules)
{
    FilterModule module;
    std::string error;
    EXPECT_TRUE(loadFilterModule("/nonexistent/Morvanclarity.so", &module, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(loadFilterModule("libm.so.6", &module, &error));
    EXPECT_NE(error.find("interface version"), std::string::npos);
    EXPECT_EQ(module.library, nullptr);

    PluginPropertyList broken {};
    broken.bytes[6] = 1; // one property whose length runs past the end
    broken.bytes[10 + 15] = 0x7F;
    EXPECT_EQ(entryPointName(broken), "");
}

// Closing one window may delete another (the filter's window deletes its panel and the panel's
// menus): the closer goes on with the windows that are left and never touches a deleted one.
TEST(WindowCloser, GoesOnPastWindowsThatAnotherWindowsCloseDeleted)
{
    ASSERT_FALSE(closeWindowsAfter(0));
    struct Pair : QWidget {
        QPointer<QWidget> other;
        void closeEvent(QCloseEvent* event) override
        {
            delete other.data();
            QWidget::closeEvent(event);
        }
    };
    auto* first = new Pair;
    auto* second = new Pair;
    first->other = second;
    second->other = first;
    QPointer<QWidget> watchedFirst = first;
    QPointer<QWidget> watchedSecond = second;
    first->show();
    second->show();
    QTest::qWait(100);
    EXPECT_TRUE(watchedFirst.isNull() != watchedSecond.isNull()); // one closed, the other deleted
    delete watchedFirst.data();
    delete watchedSecond.data();
}

// Two runs of the host, each loading the module afresh: what the first stored in the registry
// file is what the second starts from.
TEST(DescriptorRegistry, ParametersStoredByOneHostRunReachTheNext)
{
    TemporaryFolder config;
    ScopedEnvironment environment("XDG_CONFIG_HOME", config.path().c_str());
    ASSERT_FALSE(closeWindowsAfter(0)); // the second run shows the window: nothing is applied
    for (int run = 0; run < 2; ++run) {
        FilterModule module;
        std::string error;
        ASSERT_FALSE(loadFilterModule(MODULE_PATH, &module, &error)) << error;
        HostImage image;
        allocateHostImage(&image, 3, 2, 3, 8);
        HostSession session;
        openSession(&session, module.entry, &image);
        RunOptions options;
        if (run == 0) { // a scripted run without the dialog sets the values
            options.scripted = true;
            options.playInfo = plugInDialogDontDisplay;
            options.percent = 37;
            options.disposition = 2;
            options.ignoreSelection = true;
        }
        EXPECT_EQ(runFilter(&session, options), noErr);
        const DescriptorItem* amount = findItem(session.recorded, fourCharCode("Amnt"));
        const DescriptorItem* disposition = findItem(session.recorded, fourCharCode("disP"));
        const DescriptorItem* ignore = findItem(session.recorded, fourCharCode("ignS"));
        ASSERT_TRUE(amount && disposition && ignore);
        EXPECT_EQ(amount->number, 37.0) << run;
        EXPECT_EQ(disposition->enumValue, fourCharCode("moD2")) << run;
        EXPECT_TRUE(ignore->flag) << run;
        closeSession(&session);
        unloadFilterModule(&module);
        EXPECT_TRUE(fileExists(registryFilePath()));
    }
    EXPECT_EQ(suiteCounts().acquired, 0);
    EXPECT_EQ(suiteCounts().descriptorsAlive, 0);
    endWindowCloser();
}

} // namespace
