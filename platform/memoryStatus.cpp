#include "platform/memoryStatus.h"

#include <cstdio>

long long availableMemoryBytes()
{
    std::FILE* file = std::fopen("/proc/meminfo", "r");
    if (!file)
        return -1;
    long long kibibytes = -1;
    char line[256];
    while (std::fgets(line, sizeof line, file)) {
        if (std::sscanf(line, "MemAvailable: %lld kB", &kibibytes) == 1)
            break;
    }
    std::fclose(file);
    return kibibytes < 0 ? -1 : kibibytes * 1024;
}
