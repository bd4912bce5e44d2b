#include "platform/wholeFiles.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string systemMessage(int error)
{
    switch (error) {
    case ENOSPC:
        return "the disk is full";
    case EDQUOT:
        return "the disk quota is used up";
    case EISDIR:
        return "it is a folder";
    default:
        return std::strerror(error);
    }
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The mode a newly created file would get: everything the umask allows of rw-rw-rw-. Read from
// the process status, since umask() itself can only be read by changing it.
mode_t newFileMode()
{
    mode_t mask = 022;
    if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status)) {
            unsigned value = 0;
            if (std::sscanf(line, "Umask: %o", &value) == 1) {
                mask = mode_t(value);
                break;
            }
        }
        std::fclose(status);
    }
    return 0666 & ~mask;
}

// Returns true, with errno set, when not all of `bytes` could be written.
[[nodiscard]] bool writeAll(int descriptor, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(descriptor, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return true;
        }
        done += std::size_t(written);
    }
    return false;
}

} // namespace

FileReadStatus readWholeFile(
    const std::string& path, std::string* bytes, std::string* reason, long long maxBytes)
{
    bytes->clear();
    // Not blocking: a FIFO must not hang the open; it is refused below as not a regular file.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        *reason = systemMessage(errno);
        return FileReadStatus::Unreadable;
    }
    struct stat status { };
    FileReadStatus result = FileReadStatus::Read;
    if (::fstat(descriptor, &status) != 0) {
        *reason = systemMessage(errno);
        result = FileReadStatus::Unreadable;
    } else if (S_ISDIR(status.st_mode)) {
        *reason = "it is a folder, not a file";
        result = FileReadStatus::Unreadable;
    } else if (!S_ISREG(status.st_mode)) {
        *reason = "it is not a regular file";
        result = FileReadStatus::Unreadable;
    } else if (status.st_size > maxBytes) {
        *reason = "the file is too large";
        result = FileReadStatus::Unreadable;
    } else {
        try {
            bytes->resize(std::size_t(status.st_size));
        } catch (const std::bad_alloc&) {
            *reason = "not enough memory to read the file";
            result = FileReadStatus::OutOfMemory;
        }
        std::size_t done = 0;
        while (result == FileReadStatus::Read && done < bytes->size()) {
            const ssize_t got = ::read(descriptor, bytes->data() + done, bytes->size() - done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                *reason = systemMessage(errno);
                result = FileReadStatus::Unreadable;
            } else if (got == 0) {
                bytes->resize(done); // the file shrank while it was read
            } else {
                done += std::size_t(got);
            }
        }
    }
    ::close(descriptor);
    if (result != FileReadStatus::Read)
        std::string().swap(*bytes);
    return result;
}

FileWriteStatus writeFileAtomically(
    const std::string& path, std::string_view bytes, std::string* reason, bool (*cancelled)())
{
    struct stat existing { };
    const bool replacing = ::stat(path.c_str(), &existing) == 0;
    if (replacing && S_ISDIR(existing.st_mode)) {
        *reason = "it is a folder";
        return FileWriteStatus::Failed;
    }
    const mode_t mode = replacing ? existing.st_mode & 0777 : newFileMode();
    std::string temporary = path + ".XXXXXX";
    const int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0) {
        *reason = systemMessage(errno);
        return FileWriteStatus::Failed;
    }
    bool written = !writeAll(descriptor, bytes) && ::fchmod(descriptor, mode) == 0
        && ::fsync(descriptor) == 0;
    int error = written ? 0 : errno;
    if (::close(descriptor) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && cancelled && cancelled()) {
        ::unlink(temporary.c_str());
        return FileWriteStatus::Cancelled;
    }
    if (written && std::rename(temporary.c_str(), path.c_str()) != 0) {
        written = false;
        error = errno;
    }
    if (!written) {
        ::unlink(temporary.c_str());
        *reason = systemMessage(error);
        return FileWriteStatus::Failed;
    }
    // The rename itself reaches the disk with the folder's entry.
    const int folder = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return FileWriteStatus::Written;
}

bool cannotCreateFile(const std::string& path, std::string* reason)
{
    struct stat existing { };
    if (::stat(path.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) {
        *reason = "it is a folder";
        return true;
    }
    const std::string folder = folderOf(path);
    struct stat folderStatus { };
    if (::stat(folder.c_str(), &folderStatus) != 0) {
        *reason = errno == ENOENT ? "the folder " + folder + " does not exist"
                                  : "the folder " + folder + ": " + systemMessage(errno);
        return true;
    }
    if (!S_ISDIR(folderStatus.st_mode)) {
        *reason = folder + " is not a folder";
        return true;
    }
    std::string probe = path + ".XXXXXX";
    const int descriptor = ::mkostemp(probe.data(), O_CLOEXEC);
    if (descriptor < 0) {
        *reason = "cannot create files in " + folder + ": " + systemMessage(errno);
        return true;
    }
    ::close(descriptor);
    ::unlink(probe.c_str());
    return false;
}
