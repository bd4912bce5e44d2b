#include "tests/support/temporaryFolder.h"

#include <array>
#include <cstdio>
#include <dirent.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct Probe {
    bool ran = false;
    int measured = -1;
    int fromWisdom = -1;
};

// Runs the probe in a process of its own, as two runs of the batch tool would be; `timeout`
// turns a probe stuck on a file into a failure.
Probe runProbe(const std::string& wisdomFile)
{
    const std::string command
        = std::string("timeout 60 '") + FFT_WISDOM_PROBE + "' '" + wisdomFile + "' 96 80";
    Probe probe;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return probe;
    std::array<char, 256> line {};
    if (std::fgets(line.data(), int(line.size()), pipe)) {
        int estimated = 0;
        probe.ran = std::sscanf(line.data(), "measured %d wisdom %d estimated %d", &probe.measured,
                        &probe.fromWisdom, &estimated)
            == 3;
    }
    probe.ran = ::pclose(pipe) == 0 && probe.ran;
    return probe;
}

struct stat statusOf(const std::string& path)
{
    struct stat status { };
    ::lstat(path.c_str(), &status);
    return status;
}

std::vector<std::string> folderEntries(const std::string& path)
{
    std::vector<std::string> names;
    if (DIR* folder = ::opendir(path.c_str())) {
        while (const dirent* entry = ::readdir(folder)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        ::closedir(folder);
    }
    return names;
}

bool isWisdom(const std::string& path)
{
    return readFileBytes(path).rfind("(fftw-", 0) == 0;
}

TEST(FftWisdom, ASecondProcessMeasuresNoPlanAndLeavesTheFileAlone)
{
    TemporaryFolder folder;
    const std::string wisdom = folder.file("wisdom");
    const Probe first = runProbe(wisdom);
    ASSERT_TRUE(first.ran);
    EXPECT_EQ(first.measured, 2); // forward and inverse
    ASSERT_TRUE(isWisdom(wisdom));
    const struct stat written = statusOf(wisdom);

    const Probe second = runProbe(wisdom);
    ASSERT_TRUE(second.ran);
    EXPECT_EQ(second.measured, 0);
    EXPECT_EQ(second.fromWisdom, 2);
    const struct stat after = statusOf(wisdom);
    EXPECT_EQ(after.st_ino, written.st_ino); // not replaced
    EXPECT_EQ(after.st_mtim.tv_nsec, written.st_mtim.tv_nsec);
    EXPECT_EQ(after.st_mtim.tv_sec, written.st_mtim.tv_sec);
    // No temporary file is left beside it.
    EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string> {"wisdom"});
}

// A file that is not wisdom is ignored, then replaced by the plans the run measures; one that
// is not a regular file is never read, so a FIFO or a device cannot stall the run.
TEST(FftWisdom, DamagedOrForeignFilesAreIgnoredThenReplaced)
{
    TemporaryFolder folder;
    const std::string wisdom = folder.file("wisdom");
    const std::string contents[] = {
        "(fftw-3.3.10 fftwf_wisdom #x0 (fftwf_codelet_r2cf_32 0 #x1040 #x1040 #x0 #x",
        "(fftw-2.1 fftwf_wisdom)",
        std::string(100, '\0'),
    };
    for (const std::string& content : contents) {
        writeFileBytes(wisdom, content);
        const Probe probe = runProbe(wisdom);
        ASSERT_TRUE(probe.ran);
        EXPECT_EQ(probe.measured, 2);
        EXPECT_TRUE(isWisdom(wisdom));
        EXPECT_EQ(runProbe(wisdom).measured, 0);
        ::unlink(wisdom.c_str());
    }

    ASSERT_EQ(::mkfifo(wisdom.c_str(), 0600), 0);
    const Probe fifo = runProbe(wisdom);
    ASSERT_TRUE(fifo.ran);
    EXPECT_EQ(fifo.measured, 2);
    EXPECT_TRUE(S_ISREG(statusOf(wisdom).st_mode));
    ::unlink(wisdom.c_str());

    ASSERT_EQ(::symlink("/dev/zero", wisdom.c_str()), 0);
    const Probe device = runProbe(wisdom);
    ASSERT_TRUE(device.ran);
    EXPECT_EQ(device.measured, 2);
    EXPECT_TRUE(isWisdom(wisdom));
    EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string> {"wisdom"});
}

} // namespace
