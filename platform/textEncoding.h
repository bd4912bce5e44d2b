#pragma once

// Conversions between UTF-8 and UTF-16 text. Invalid input never fails a conversion: each
// undecodable byte (UTF-8) or unpaired surrogate (UTF-16) becomes U+FFFD.

#include <string>
#include <string_view>

std::u16string utf8ToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);
