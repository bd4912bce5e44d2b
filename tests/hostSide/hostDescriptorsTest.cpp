#include "hostSide/hostDescriptors.h"
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

    std::vector<std::string> filesInFolder() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        return names;
    }

    // Registers a persistent entry through the suites, as the module does.
    void registerAmount(const char* key, double amount)
    {
        const void* registrySuite = nullptr;
        const void* descriptorSuite = nullptr;
        ASSERT_EQ(hostBasicSuite.AcquireSuite(kPSDescriptorRegistrySuite,
                      kPSDescriptorRegistrySuiteVersion, &registrySuite),
            kSPNoError);
        ASSERT_EQ(hostBasicSuite.AcquireSuite(
                      kPSActionDescriptorSuite, kPSActionDescriptorSuiteVersion, &descriptorSuite),
            kSPNoError);
        const auto* registry = static_cast<const PSDescriptorRegistryProcs*>(registrySuite);
        const auto* descriptors = static_cast<const PSActionDescriptorProcs*>(descriptorSuite);
        PIActionDescriptor descriptor = nullptr;
        ASSERT_EQ(descriptors->Make(&descriptor), kSPNoError);
        descriptors->PutUnitFloat(descriptor, fourCharCode("Amnt"), unitPercent, amount);
        EXPECT_EQ(registry->Register(key, descriptor, 1), kSPNoError);
        descriptors->Free(descriptor);
        hostBasicSuite.ReleaseSuite(kPSActionDescriptorSuite, kPSActionDescriptorSuiteVersion);
        hostBasicSuite.ReleaseSuite(kPSDescriptorRegistrySuite, kPSDescriptorRegistrySuiteVersion);
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

TEST_F(RegistryFile, SavingLeavesNoTemporaryFileBehind)
{
    registerAmount("saved", 42);
    EXPECT_EQ(filesInFolder(), std::vector<std::string> {"descriptorRegistry.txt"});
    loadDescriptorRegistry();
    ASSERT_NE(registryEntry("saved"), nullptr);
    EXPECT_EQ(registryEntry("saved")->items[0].number, 42.0);

    // The registry's place is taken by a folder: the save fails and cleans up after itself.
    std::filesystem::remove(registryFilePath());
    std::filesystem::create_directory(registryFilePath());
    registerAmount("lost", 1);
    EXPECT_EQ(filesInFolder(), std::vector<std::string> {"descriptorRegistry.txt"});
    EXPECT_TRUE(std::filesystem::is_directory(registryFilePath()));
}

} // namespace
