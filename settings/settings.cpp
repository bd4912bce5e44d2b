#include "settings/settings.h"

#include "locale/localisedStrings.h"
#include "platform/paths.h"
#include "platform/profileFile.h"

#include <climits>
#include <cstdint>

namespace {

constexpr std::u16string_view General = u"General";

std::u16string decimal(int value)
{
    const std::string text = std::to_string(value);
    return std::u16string(text.begin(), text.end());
}

int readSetting(const ProfileFile& profile, std::u16string_view key, std::u16string_view fallback)
{
    return settingValue(profileString(profile, General, key, fallback, MaxTextLength));
}

// Writes `values` into the settings file, creating its folder first; failures are silent, as
// the settings only carry comfort between runs.
void writeSettings(
    const LocalePaths& paths, std::initializer_list<std::pair<std::u16string_view, int>> values)
{
    if (createDirectory(paths.settingsFolder))
        return;
    ProfileFile profile = readProfileFile(paths.settingsFile);
    for (const auto& [key, value] : values)
        setProfileString(&profile, General, key, decimal(value));
    // A failed write leaves the old file whole; the choices are then simply not remembered.
    (void)writeProfileFile(profile, paths.settingsFile);
}

} // namespace

int settingValue(std::u16string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        magnitude
            = std::min<std::int64_t>(magnitude * 10 + (text[i] - u'0'), std::int64_t(INT_MAX) + 1);
    const std::int64_t value = negative ? -magnitude : std::min<std::int64_t>(magnitude, INT_MAX);
    return int(value);
}

Settings loadSettings(const LocalePaths& paths)
{
    Settings settings;
    const ProfileFile languageFile = readProfileFile(paths.languageFile);
    const int languagesNo = readSetting(languageFile, u"Languages No", u"0");

    ProfileFile settingsFile = readProfileFile(paths.settingsFile);
    settings.crashedLastTime = (readSetting(settingsFile, u"Crashed Last Time", u"0") & 0xFF) != 0;
    // The crash flag is raised for this run; where it cannot be written, the next run simply
    // will not know about a crash of this one.
    setProfileString(&settingsFile, General, u"Crashed Last Time", u"1");
    if (!createDirectory(paths.settingsFolder))
        (void)writeProfileFile(settingsFile, paths.settingsFile);

    settings.languageCurrent = readSetting(settingsFile, u"Language Current", u"0");
    // A negative count reads as a huge unsigned one, so it lists the maximum.
    const unsigned languageCount = std::min(unsigned(languagesNo), MaxLanguages);
    settings.method = readSetting(settingsFile, u"method", u"0");
    settings.power = readSetting(settingsFile, u"power", u"1");
    settings.noise = readSetting(settingsFile, u"noise", u"1");

    settings.languages.assign(languageCount, Language {});
    for (unsigned index = 0; index < languageCount; ++index) {
        const std::u16string section = decimal(int(index));
        Language& language = settings.languages[index];
        language.name = profileString(languageFile, section, u"Language", u"", MaxTextLength);
        language.acronym
            = profileString(languageFile, section, u"Acronym", u"", MaxLanguageAcronymLength);
    }
    return settings;
}

void saveSettingsAtClose(const Settings& settings, const LocalePaths& paths)
{
    writeSettings(paths,
        {{u"Crashed Last Time", 0}, {u"method", settings.method}, {u"power", settings.power},
            {u"noise", settings.noise}});
}

void saveLanguageChoice(int language, const LocalePaths& paths)
{
    writeSettings(paths, {{u"Language Current", language}});
}
