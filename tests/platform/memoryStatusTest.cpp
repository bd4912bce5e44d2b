#include "platform/memoryStatus.h"

#include <gtest/gtest.h>

#include <unistd.h>

// The job driver and the picture-file check size their work by this; a misread field (a wrong
// offset, units taken as bytes) shows as zero, -1 or an amount beyond the machine's memory.
TEST(AvailableMemory, LiesBetweenZeroAndInstalledMemory)
{
    const long long available = availableMemoryBytes();
    const long long installed = (long long)(sysconf(_SC_PHYS_PAGES)) * sysconf(_SC_PAGESIZE);
    ASSERT_GT(available, 0);
    EXPECT_LE(available, installed);
}
