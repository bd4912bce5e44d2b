#pragma once

// The per-user settings that persist between runs (the last deblurring choices, the interface
// language and a crash flag) and the list of languages in the language file.
//
// The crash flag is raised in the file when the settings are loaded and lowered by
// saveSettingsAtClose, so a run that died is noticed at the next start.

#include "engine/deblurParams.h"
#include "locale/localePaths.h"

#include <string>
#include <vector>

constexpr unsigned MaxLanguages = 100;
constexpr std::size_t MaxLanguageAcronymLength = 15;

struct Language {
    std::u16string name; // shown in the language list, at most MaxTextLength units
    std::u16string acronym; // at most MaxLanguageAcronymLength units
};

struct Settings {
    bool crashedLastTime = false; // the previous run did not close normally
    int languageCurrent = 0; // section of the language file the texts come from
    int method = DefaultMethod; // deblurring method index
    int power = DefaultPower; // deblurring power index
    int noise = DefaultNoise; // noise level index
    std::vector<Language> languages; // in section order, at most MaxLanguages
};

// Reads the settings file and the language list, creating the settings folder when missing, and
// raises the crash flag in the file. Missing values take their defaults.
Settings loadSettings(const LocalePaths& paths = defaultLocalePaths());

// Writes the normal-close values: the lowered crash flag, method, power and noise.
void saveSettingsAtClose(const Settings& settings, const LocalePaths& paths = defaultLocalePaths());

// Writes `language` as the language of the next start.
void saveLanguageChoice(int language, const LocalePaths& paths = defaultLocalePaths());

// The value of a setting as the C library's text-to-integer conversion reads it: blanks, an
// optional sign and the leading digits; 0 when there are none. Values beyond the range of int
// are clamped to it.
int settingValue(std::u16string_view text);
