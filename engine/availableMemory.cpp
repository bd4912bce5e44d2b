#include "engine/availableMemory.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

long long availableMemoryBytes()
{
    const int file = ::open("/proc/meminfo", O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return -1;
    char text[4096];
    std::size_t length = 0;
    while (length + 1 < sizeof text) {
        const ssize_t got = ::read(file, text + length, sizeof text - 1 - length);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        length += std::size_t(got);
    }
    ::close(file);
    text[length] = '\0';
    const char* field = std::strstr(text, "MemAvailable:");
    if (!field)
        return -1;
    char* end = nullptr;
    const long long kib = std::strtoll(field + std::strlen("MemAvailable:"), &end, 10);
    if (end == field + std::strlen("MemAvailable:") || kib < 0)
        return -1;
    return kib * 1024;
}
