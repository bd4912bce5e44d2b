#include "platform/profileFile.h"

#include "platform/textEncoding.h"
#include "platform/wholeFiles.h"

#include <optional>

namespace {

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\f' || c == u'\v';
}

std::u16string_view trimmed(std::u16string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char16_t asciiLower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
}

bool namesMatch(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

// The section name of a "[name]" line, or nothing for other lines.
std::optional<std::u16string_view> sectionName(std::u16string_view line)
{
    line = trimmed(line);
    if (line.empty() || line.front() != u'[')
        return std::nullopt;
    line.remove_prefix(1);
    return trimmed(line.substr(0, line.find(u']')));
}

struct KeyLine {
    std::u16string_view key;
    std::u16string_view value;
};

std::optional<KeyLine> keyLine(std::u16string_view line)
{
    line = trimmed(line);
    const std::size_t equals = line.find(u'=');
    if (line.empty() || line.front() == u';' || equals == std::u16string_view::npos)
        return std::nullopt;
    std::u16string_view value = trimmed(line.substr(equals + 1));
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
        && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return KeyLine {trimmed(line.substr(0, equals)), value};
}

// Where a section's lines are: `header` is its "[name]" line, `lastKey` its last key line (the
// header when it has none), `key` the line of the looked-up key.
struct SectionSearch {
    std::optional<std::size_t> header;
    std::size_t lastKey = 0;
    std::optional<std::size_t> key;
};

SectionSearch findKey(
    const ProfileFile& profile, std::u16string_view section, std::u16string_view key)
{
    SectionSearch search;
    for (std::size_t i = 0; i < profile.lines.size(); ++i) {
        const std::u16string_view line = profile.lines[i];
        if (const auto name = sectionName(line)) {
            if (search.header)
                break;
            if (namesMatch(*name, section)) {
                search.header = i;
                search.lastKey = i;
            }
            continue;
        }
        if (!search.header)
            continue;
        if (const auto entry = keyLine(line)) {
            search.lastKey = i;
            if (namesMatch(entry->key, key)) {
                search.key = i;
                break;
            }
        }
    }
    return search;
}

std::u16string cut(std::u16string_view text, std::size_t maxLength)
{
    if (text.size() <= maxLength)
        return std::u16string(text);
    std::size_t length = maxLength;
    if (length > 0 && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF)
        --length;
    return std::u16string(text.substr(0, length));
}

std::u16string decode(std::string_view bytes, ProfileEncoding* encoding)
{
    if (bytes.starts_with("\xFF\xFE")) {
        *encoding = ProfileEncoding::Utf16LittleEndian;
        bytes.remove_prefix(2);
        std::u16string text(bytes.size() / 2, u'\0');
        for (std::size_t i = 0; i < text.size(); ++i)
            text[i] = char16_t(std::uint8_t(bytes[2 * i]) | std::uint8_t(bytes[2 * i + 1]) << 8);
        return text;
    }
    *encoding = ProfileEncoding::Utf8;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        *encoding = ProfileEncoding::Utf8WithBom;
        bytes.remove_prefix(3);
    }
    return utf8ToUtf16(bytes);
}

std::string encode(const ProfileFile& profile)
{
    std::u16string text;
    for (const std::u16string& line : profile.lines) {
        text += line;
        text += profile.crlfLineEndings ? u"\r\n" : u"\n";
    }
    switch (profile.encoding) {
    case ProfileEncoding::Utf16LittleEndian: {
        std::string bytes = "\xFF\xFE";
        for (char16_t c : text) {
            bytes += char(c & 0xFF);
            bytes += char(c >> 8);
        }
        return bytes;
    }
    case ProfileEncoding::Utf8WithBom:
        return "\xEF\xBB\xBF" + utf16ToUtf8(text);
    case ProfileEncoding::Utf8:
        break;
    }
    return utf16ToUtf8(text);
}

constexpr long long MaxProfileBytes = 16 * 1024 * 1024;

} // namespace

ProfileFile readProfileFile(const std::string& path)
{
    std::string bytes;
    std::string reason;
    // Profile files are a few kilobytes; anything that is not a regular file of sane size (a
    // FIFO, a link to /dev/zero) reads as missing instead of hanging.
    if (readWholeFile(path, &bytes, &reason, MaxProfileBytes) != FileReadStatus::Read)
        return {};
    return parseProfileFile(bytes);
}

ProfileFile parseProfileFile(std::string_view bytes)
{
    ProfileFile profile;
    const std::u16string text = decode(bytes, &profile.encoding);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(u'\n', start);
        if (end == std::u16string::npos)
            end = text.size();
        std::u16string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == u'\r') {
            line.pop_back();
            profile.crlfLineEndings = true;
        }
        profile.lines.push_back(std::move(line));
        start = end + 1;
    }
    return profile;
}

std::u16string profileString(const ProfileFile& profile, std::u16string_view section,
    std::u16string_view key, std::u16string_view defaultValue, std::size_t maxLength)
{
    const SectionSearch search = findKey(profile, section, key);
    if (!search.key)
        return cut(defaultValue, maxLength);
    return cut(keyLine(profile.lines[*search.key])->value, maxLength);
}

void setProfileString(ProfileFile* profile, std::u16string_view section, std::u16string_view key,
    std::u16string_view value)
{
    std::u16string line(key);
    line += u'=';
    line.append(value);
    const SectionSearch search = findKey(*profile, section, key);
    if (search.key) {
        profile->lines[*search.key] = std::move(line);
    } else if (search.header) {
        profile->lines.insert(
            profile->lines.begin() + std::ptrdiff_t(search.lastKey) + 1, std::move(line));
    } else {
        std::u16string header = u"[";
        header.append(section);
        header += u']';
        profile->lines.push_back(std::move(header));
        profile->lines.push_back(std::move(line));
    }
}

bool writeProfileFile(const ProfileFile& profile, const std::string& path)
{
    std::string reason;
    return writeFileAtomically(path, encode(profile), &reason) != FileWriteStatus::Written;
}

std::u16string readProfileString(const std::string& path, std::u16string_view section,
    std::u16string_view key, std::u16string_view defaultValue, std::size_t maxLength)
{
    return profileString(readProfileFile(path), section, key, defaultValue, maxLength);
}

bool writeProfileString(const std::string& path, std::u16string_view section,
    std::u16string_view key, std::u16string_view value)
{
    ProfileFile profile = readProfileFile(path);
    setProfileString(&profile, section, key, value);
    return writeProfileFile(profile, path);
}
