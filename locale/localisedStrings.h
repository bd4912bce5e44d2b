#pragma once

// The interface texts, string1 to string98, read once per run from the language file in the
// section of the chosen language. Every text has a built-in English default, so the program is
// fully usable without a language file; numbers that have no text stay empty.

#include "locale/localePaths.h"

#include <initializer_list>
#include <string>
#include <string_view>

constexpr int FirstStringKey = 1;
constexpr int LastStringKey = 98;
constexpr std::size_t MaxTextLength = 1023; // UTF-16 units; longer values are cut

// Reads every text from the section of `language` (its number in the language file). A missing
// file, section or key gives the English default.
void loadStrings(int language, const LocalePaths& paths = defaultLocalePaths());

// Rereads only the given keys, for a language chosen while the program runs.
void reloadStrings(
    std::initializer_list<int> keys, int language, const LocalePaths& paths = defaultLocalePaths());

// The text of key `stringN` (N = 1 .. 98, named in "locale/stringKeys.h"); English until
// loadStrings has run. Empty for numbers that have no text.
const std::u16string& localisedString(int key);

// The built-in English text of key `stringN`; empty for numbers that have no text.
std::u16string_view englishString(int key);
