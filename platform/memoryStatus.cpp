#include "platform/memoryStatus.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

// Read with open/read rather than stdio: the descriptor is close-on-exec, so a host that starts
// a program on another thread meanwhile never inherits it, and an interrupted read is retried.
long long availableMemoryBytes()
{
    const int file = ::open("/proc/meminfo", O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return -1;
    char text[4096]; // /proc/meminfo is about 1.5 KiB; MemAvailable is on its third line
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
    static constexpr char Field[] = "MemAvailable:";
    const char* field = std::strstr(text, Field);
    if (!field)
        return -1;
    const char* digits = field + sizeof Field - 1;
    char* end = nullptr;
    errno = 0;
    const long long kibibytes = std::strtoll(digits, &end, 10);
    if (end == digits || errno == ERANGE || kibibytes < 0 || kibibytes > LLONG_MAX / 1024)
        return -1;
    return kibibytes * 1024;
}
