#include "platform/paths.h"
#include "tests/support/scopedEnvironment.h"
#include "tests/support/temporaryFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

TEST(ModuleDirectory, IsTheFolderOfTheProgramHoldingTheCode)
{
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(moduleDirectory(), program.parent_path().string());
}

TEST(UserConfigDirectory, PrefersAnAbsoluteXdgConfigHome)
{
    ScopedEnvironment home("HOME", "/home/someone");
    {
        ScopedEnvironment config("XDG_CONFIG_HOME", "/tmp/config");
        EXPECT_EQ(userConfigDirectory(), "/tmp/config");
    }
    for (const char* ignored : {"", "relative/config"}) {
        ScopedEnvironment config("XDG_CONFIG_HOME", ignored);
        EXPECT_EQ(userConfigDirectory(), "/home/someone/.config");
    }
    ScopedEnvironment config("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(userConfigDirectory(), "/home/someone/.config");
}

TEST(CreateDirectory, MakesMissingParentsAndReportsFailure)
{
    TemporaryFolder folder;
    EXPECT_FALSE(createDirectory(folder.file("a/b/c")));
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("a/b/c")));
    EXPECT_FALSE(createDirectory(folder.file("a/b/c")));
    writeFileBytes(folder.file("file"), "x");
    EXPECT_TRUE(createDirectory(folder.file("file/sub")));
}

} // namespace
