#pragma once

// Files read whole and written all or nothing. Paths are the bytes the system uses: a name that
// is not UTF-8 is neither decoded nor re-encoded, so it reaches the file it names.

#include <string>
#include <string_view>

enum class [[nodiscard]] FileReadStatus {
    Read,
    Unreadable, // missing, not allowed, a folder, not a regular file or too large: see the reason
    OutOfMemory,
};

// Reads the whole of the regular file `path` (at most `maxBytes`) into `bytes`. On failure
// `bytes` is empty and `reason` says why in plain words ("it is a folder", the system's message).
[[nodiscard]] FileReadStatus readWholeFile(
    const std::string& path, std::string* bytes, std::string* reason, long long maxBytes);

enum class [[nodiscard]] FileWriteStatus {
    Written,
    Failed, // nothing replaced `path`; the reason says why ("the disk is full", ...)
    Cancelled, // `cancelled` asked to stop before the commit; nothing replaced `path`
};

// Writes `bytes` to a new temporary file in `path`'s folder, flushes it to the disk and only
// then renames it over `path`, so `path` holds either its old contents or all of the new ones.
// `cancelled`, when given, is asked once just before the rename; the file gets the permissions of
// the file it replaces, or the usual ones for a new file.
[[nodiscard]] FileWriteStatus writeFileAtomically(const std::string& path, std::string_view bytes,
    std::string* reason, bool (*cancelled)() = nullptr);

// Whether a file can be created at `path`: its folder exists and takes new files, and `path`
// is not a folder. Tried by creating and removing a temporary file there, so a job can refuse
// before it starts rather than after. Returns true with a reason when it cannot.
[[nodiscard]] bool cannotCreateFile(const std::string& path, std::string* reason);
