#include "platform/textEncoding.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <iconv.h>

namespace {

// Runs iconv over the whole input. On an invalid or incomplete sequence it writes the
// replacement character in the target encoding and skips `invalidStep` bytes of input.
std::string convert(const char* to, const char* from, std::string_view input,
    std::string_view replacement, std::size_t invalidStep)
{
    std::string output;
    iconv_t converter = iconv_open(to, from);
    if (converter == iconv_t(-1))
        return output;
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
        output.append(buffer, std::size_t(out - buffer));
        if (result != std::size_t(-1) || errno == E2BIG)
            continue;
        output.append(replacement);
        const std::size_t step = std::min(invalidStep, inLeft);
        in += step;
        inLeft -= step;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(converter);
    return output;
}

} // namespace

std::u16string utf8ToUtf16(std::string_view text)
{
    const std::string bytes
        = convert("UTF-16LE", "UTF-8", text, std::string_view("\xFD\xFF", 2), 1);
    std::u16string result(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < result.size(); ++i)
        result[i] = char16_t(std::uint8_t(bytes[2 * i]) | std::uint8_t(bytes[2 * i + 1]) << 8);
    return result;
}

std::string utf16ToUtf8(std::u16string_view text)
{
    std::string bytes(text.size() * 2, '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        bytes[2 * i] = char(text[i] & 0xFF);
        bytes[2 * i + 1] = char(text[i] >> 8);
    }
    return convert("UTF-8", "UTF-16LE", bytes, "\xEF\xBF\xBD", 2);
}
