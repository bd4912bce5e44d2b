// Files written all or nothing: the old file stays until every byte of the new one is on the
// disk, whatever stops the write.

#include "platform/wholeFiles.h"
#include "tests/support/temporaryFolder.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int entriesIn(const std::string& folder)
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++count;
    return count;
}

mode_t modeOf(const std::string& path)
{
    struct stat status { };
    ::stat(path.c_str(), &status);
    return status.st_mode & 0777;
}

TEST(WholeFiles, AWriteReplacesTheFileAndKeepsItsPermissions)
{
    TemporaryFolder folder;
    const std::string path = folder.file("out.png");
    std::string reason;
    ASSERT_EQ(writeFileAtomically(path, "first", &reason), FileWriteStatus::Written) << reason;
    EXPECT_EQ(
        modeOf(path), 0666 & ~[] {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            return mask;
        }());
    ::chmod(path.c_str(), 0640);
    ASSERT_EQ(writeFileAtomically(path, "second", &reason), FileWriteStatus::Written) << reason;
    EXPECT_EQ(readFileBytes(path), "second");
    EXPECT_EQ(modeOf(path), 0640u);
    EXPECT_EQ(entriesIn(folder.path()), 1);
}

TEST(WholeFiles, ACancelledOrFailedWriteLeavesTheOldFileAndNoTemporaryOne)
{
    TemporaryFolder folder;
    const std::string path = folder.file("out.tif");
    writeFileBytes(path, "old");
    std::string reason;
    EXPECT_EQ(
        writeFileAtomically(path, "new", &reason, [] { return true; }), FileWriteStatus::Cancelled);
    EXPECT_EQ(readFileBytes(path), "old");
    EXPECT_EQ(entriesIn(folder.path()), 1);

    EXPECT_EQ(writeFileAtomically(folder.path(), "new", &reason), FileWriteStatus::Failed);
    EXPECT_EQ(reason, "it is a folder");
    EXPECT_EQ(
        writeFileAtomically(folder.file("none/out.tif"), "new", &reason), FileWriteStatus::Failed);

    // A disk that takes only a few bytes: the write fails in a child process limited to a small
    // file size, and the old file is still there.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit {1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::string why;
        const FileWriteStatus status = writeFileAtomically(path, std::string(5000, 'x'), &why);
        ::_exit(status == FileWriteStatus::Failed && !why.empty() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(readFileBytes(path), "old");
    EXPECT_EQ(entriesIn(folder.path()), 1);
}

TEST(WholeFiles, AFileThatCannotBeCreatedIsKnownBeforehand)
{
    TemporaryFolder folder;
    std::string reason;
    EXPECT_FALSE(cannotCreateFile(folder.file("out.png"), &reason)) << reason;
    EXPECT_EQ(entriesIn(folder.path()), 0);
    EXPECT_TRUE(cannotCreateFile(folder.file("missing/out.png"), &reason));
    EXPECT_NE(reason.find("does not exist"), std::string::npos) << reason;
    EXPECT_TRUE(cannotCreateFile(folder.path(), &reason));
    EXPECT_TRUE(cannotCreateFile("/proc/out.png", &reason)); // refused even to root
}

TEST(WholeFiles, ReadingRefusesWhatIsNoRegularFile)
{
    TemporaryFolder folder;
    writeFileBytes(folder.file("a"), "contents");
    std::string bytes;
    std::string reason;
    EXPECT_EQ(readWholeFile(folder.file("a"), &bytes, &reason, 100), FileReadStatus::Read);
    EXPECT_EQ(bytes, "contents");
    EXPECT_EQ(readWholeFile(folder.file("a"), &bytes, &reason, 4), FileReadStatus::Unreadable);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(readWholeFile("/dev/zero", &bytes, &reason, 100), FileReadStatus::Unreadable);
    EXPECT_EQ(reason, "it is not a regular file");
}

} // namespace
