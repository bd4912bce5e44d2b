#pragma once

// Profile (INI) files: "[section]" lines and "key=value" lines below them, read and written the
// way users of Windows profile files expect.
//
// - Section and key names compare without regard to ASCII case; the first match wins.
// - Blanks around names and values are trimmed, and a value in matching quotes loses them.
// - Lines before the first section, lines without '=' and lines starting with ';' hold no key.
// - A missing file, section or key gives the caller's default; reading never fails.
// - UTF-8 files (with or without a byte-order mark) and UTF-16 LE files with a byte-order mark
//   are read. A write keeps the file's encoding, line endings and every other line; a new file
//   is UTF-8. Writes go to a temporary file that is renamed into place, so the file on disk is
//   always either the old or the new one.

#include <string>
#include <string_view>
#include <vector>

enum class ProfileEncoding { Utf8, Utf8WithBom, Utf16LittleEndian };

struct ProfileFile {
    std::vector<std::u16string> lines; // without their line endings
    ProfileEncoding encoding = ProfileEncoding::Utf8;
    bool crlfLineEndings = false;
};

// Reads and decodes `path`; a missing or unreadable file gives an empty profile.
ProfileFile readProfileFile(const std::string& path);

// Decodes a profile file's bytes.
ProfileFile parseProfileFile(std::string_view bytes);

// The value of `key` in `section`, or `defaultValue`; either is cut to `maxLength` UTF-16 units
// (one fewer when the cut would split a surrogate pair).
std::u16string profileString(const ProfileFile& profile, std::u16string_view section,
    std::u16string_view key, std::u16string_view defaultValue, std::size_t maxLength);

// Sets `key` in `section` to `value`: replaces the first such key, or adds it after the section's
// last key, or adds the section at the end of the file.
void setProfileString(ProfileFile* profile, std::u16string_view section, std::u16string_view key,
    std::u16string_view value);

// Encodes and writes the profile atomically. Returns true when it failed; the old file is then
// unchanged.
[[nodiscard]] bool writeProfileFile(const ProfileFile& profile, const std::string& path);

// One read of one key, for callers that need a single value.
std::u16string readProfileString(const std::string& path, std::u16string_view section,
    std::u16string_view key, std::u16string_view defaultValue, std::size_t maxLength);

// Reads the file, sets one key and writes it back. Returns true when it failed.
[[nodiscard]] bool writeProfileString(const std::string& path, std::u16string_view section,
    std::u16string_view key, std::u16string_view value);
