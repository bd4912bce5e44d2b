#include "settings/settings.h"
#include "platform/paths.h"
#include "tests/locale/localeFixture.h"

#include <climits>

namespace {

using SettingsFile = LocaleFixture;

TEST_F(SettingsFile, DefaultPathsFollowTheConfigurationFolderAndTheModule)
{
    const LocalePaths defaults = defaultLocalePaths();
    EXPECT_EQ(defaults.settingsFolder, folder.path() + "/MRVCLPhotoshopPlugIn");
    EXPECT_EQ(
        defaults.settingsFile, folder.path() + "/MRVCLPhotoshopPlugIn/MRVCLPhotoshopPlugIn.txt");
    EXPECT_EQ(defaults.languageFile, moduleDirectory() + "/Morvanclarity_loc.ini");
}

TEST_F(SettingsFile, FirstRunCreatesFolderAndRaisesTheCrashFlag)
{
    Settings settings = loadSettings(paths);
    EXPECT_FALSE(settings.crashedLastTime);
    EXPECT_EQ(settings.languageCurrent, 0);
    EXPECT_EQ(settings.method, 0);
    EXPECT_EQ(settings.power, 1);
    EXPECT_EQ(settings.noise, 1);
    EXPECT_TRUE(settings.languages.empty());
    EXPECT_EQ(readFileBytes(paths.settingsFile), "[General]\nCrashed Last Time=1\n");

    saveSettingsAtClose(settings, paths);
    EXPECT_EQ(readFileBytes(paths.settingsFile),
        "[General]\nCrashed Last Time=0\nmethod=0\npower=1\nnoise=1\n");
}

TEST_F(SettingsFile, CrashFlagLooksAtTheLowEightBits)
{
    struct {
        const char* stored;
        bool crashed;
    } const cases[]
        = {{"1", true}, {"256", false}, {"257", true}, {"0", false}, {"yes", false}, {"-1", true}};
    for (const auto& c : cases) {
        writeSettingsFile(std::string("[General]\nCrashed Last Time=") + c.stored + "\n");
        const Settings settings = loadSettings(paths);
        EXPECT_EQ(settings.crashedLastTime, c.crashed) << c.stored;
        EXPECT_EQ(readFileBytes(paths.settingsFile), "[General]\nCrashed Last Time=1\n");
    }
}

TEST_F(SettingsFile, StoredChoicesAreReadAndWrittenBackAtClose)
{
    writeSettingsFile("[general]\nmethod=1\npower=2\nnoise= 0\nLanguage Current=3\nextra=kept\n");
    Settings settings = loadSettings(paths);
    EXPECT_EQ(settings.method, 1);
    EXPECT_EQ(settings.power, 2);
    EXPECT_EQ(settings.noise, 0);
    EXPECT_EQ(settings.languageCurrent, 3);

    settings.power = 0;
    settings.noise = 2;
    saveSettingsAtClose(settings, paths);
    EXPECT_EQ(readFileBytes(paths.settingsFile),
        "[general]\nmethod=1\npower=0\nnoise=2\nLanguage Current=3\nextra=kept\n"
        "Crashed Last Time=0\n");
}

TEST_F(SettingsFile, LanguageChoiceIsStoredAsADecimal)
{
    saveLanguageChoice(-1, paths); // OK pressed with no language selected
    EXPECT_EQ(loadSettings(paths).languageCurrent, -1);
    EXPECT_NE(readFileBytes(paths.settingsFile).find("Language Current=-1\n"), std::string::npos);
}

TEST_F(SettingsFile, LanguageListTakesNamesAndAcronymsOfEachSection)
{
    writeLanguageFile("[General]\nLanguages No=3\n"
                      "[0]\nLanguage=English\nAcronym=EN\n"
                      "[1]\nLanguage=Deutsch\nAcronym=DE-abcdefghijklmnopq\n"
                      "[2]\nLanguage="
        + std::string(1100, 'n') + "\n[3]\nLanguage=Beyond the count\n");
    const Settings settings = loadSettings(paths);
    ASSERT_EQ(settings.languages.size(), 3u);
    EXPECT_EQ(settings.languages[0].name, u"English");
    EXPECT_EQ(settings.languages[0].acronym, u"EN");
    EXPECT_EQ(settings.languages[1].acronym, u"DE-abcdefghijkl");
    EXPECT_EQ(settings.languages[2].name, std::u16string(1023, u'n'));
    EXPECT_EQ(settings.languages[2].acronym, u"");
}

TEST_F(SettingsFile, LanguageCountIsTakenUnsignedAndCappedAtOneHundred)
{
    for (const char* count : {"250", "-1"}) {
        writeLanguageFile(std::string("[General]\nLanguages No=") + count
            + "\n[99]\nLanguage=Last\n[100]\nLanguage=Beyond\n");
        const Settings settings = loadSettings(paths);
        ASSERT_EQ(settings.languages.size(), 100u) << count;
        EXPECT_EQ(settings.languages[0].name, u"");
        EXPECT_EQ(settings.languages[99].name, u"Last");
    }
}

TEST(SettingValue, ReadsLikeTheCLibraryTextToInteger)
{
    struct {
        std::u16string_view text;
        int value;
    } const cases[] = {
        {u"42", 42},
        {u"  \t7", 7},
        {u"-3", -3},
        {u"+5", 5},
        {u"12abc", 12},
        {u"abc", 0},
        {u"", 0},
        {u"- 4", 0},
        {u"0x10", 0},
        {u"99999999999", INT_MAX},
        {u"-99999999999", INT_MIN},
        {u"-2147483648", INT_MIN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(settingValue(c.text), c.value) << std::string(c.text.begin(), c.text.end());
}

} // namespace
