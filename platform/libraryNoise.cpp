#include "platform/libraryNoise.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

LibraryNoiseMute::LibraryNoiseMute()
{
    std::fflush(stderr);
    const int sink = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (sink < 0)
        return;
    saved = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    if (saved >= 0 && ::dup2(sink, STDERR_FILENO) < 0) {
        ::close(saved);
        saved = -1;
    }
    ::close(sink);
}

LibraryNoiseMute::~LibraryNoiseMute()
{
    if (saved < 0)
        return;
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
}
