#include "tools/hostDescriptors.h"
#include "tests/support/scopedEnvironment.h"
#include "tests/support/temporaryFolder.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class RegistryFile : public ::testing::Test {
protected:
    TemporaryFolder config;
    ScopedEnvironment environment {"XDG_CONFIG_HOME", config.path().c_str()};
    std::string folder = config.file("morvanclarity-host");

    void SetUp() override { std::filesystem::create_directories(folder); }
    void TearDown() override
    {
        std::filesystem::remove_all(folder);
        loadDescriptorRegistry(); // empty again for the tests that follow
    }
};

std::string line(const std::string& entry, DescriptorKeyID key, double number)
{
    char text[120];
    std::snprintf(
        text, sizeof text, "%s %x 556e7446 23507263 0 %.17g 0\n", entry.c_str(), key, number);
    return text;
}

// An item key met again in the file replaces the earlier item where it stood.
TEST_F(RegistryFile, ALaterLineForTheSameKeyWinsInTheFirstLinesPlace)
{
    writeFileBytes(registryFilePath(),
        line("first", 1, 10) + line("first", 2, 20) + "first not a line\n" + line("second", 1, 30)
            + line("first", 1, 11));
    loadDescriptorRegistry();
    const HostDescriptor* first = registryEntry("first");
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(first->items.size(), 2u);
    EXPECT_EQ(first->items[0].key, 1u);
    EXPECT_EQ(first->items[0].number, 11.0);
    EXPECT_EQ(first->items[1].number, 20.0);
    ASSERT_NE(registryEntry("second"), nullptr);
    EXPECT_EQ(registryEntry("second")->items[0].number, 30.0);
    EXPECT_EQ(registryEntry("not"), nullptr);
}

TEST_F(RegistryFile, LoadsTwoHundredThousandItems)
{
    constexpr int Items = 200000;
    std::string text;
    text.reserve(std::size_t(Items) * 48);
    for (int i = 0; i < Items; ++i)
        text += line("big", DescriptorKeyID(i + 1), i);
    text += line("big", 1, -1); // one key again: the count stays
    writeFileBytes(registryFilePath(), text);
    loadDescriptorRegistry();
    const HostDescriptor* big = registryEntry("big");
    ASSERT_NE(big, nullptr);
    ASSERT_EQ(big->items.size(), std::size_t(Items));
    EXPECT_EQ(big->items.front().number, -1.0);
    EXPECT_EQ(big->items.back().key, DescriptorKeyID(Items));
}

} // namespace
