#include "locale/localisedStrings.h"
#include "settings/settings.h"
#include "tests/locale/localeFixture.h"

namespace {

using LocalisedStrings = LocaleFixture;

TEST_F(LocalisedStrings, WithoutALanguageFileEveryTextIsEnglish)
{
    loadStrings(0, paths);
    struct {
        int key;
        std::u16string_view text;
    } const cases[] = {
        {1, u"Press Ctrl+O to open an image"},
        {2,
            u"The application crashed last time. It's probably caused by low memory. Please try "
            u"to crop the image a deblur the image again."},
        {3, u"Warning"},
        {22,
            u"Click and drag to move image, Double click to zoom to best fit, Use mouse wheel "
            u"to zoom"},
        {26, u"Zoom Out (-)"},
        {28, u"Set Zoom 100%"},
        {41, u"Image format not supported!"},
        {47, u"You have to restart application to affect the language change"},
        {55, u"Medium"},
        {58, u"Insert points to mark one movement line with Ctrl key and mouse left button"},
        {59, u"Motion correction"},
        {66, u"<< Back"},
        {82,
            u"Cannot use this kind of deconvolution on such a large image! Try 64 bits "
            u"application."},
        {83,
            u"Cannot use this kind of deconvolution on such a large image! Try to crop the image."},
        {87, u"Import my own PSF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(localisedString(c.key), c.text) << "string" << c.key;

    int texts = 0;
    for (int key = FirstStringKey; key <= LastStringKey; ++key) {
        EXPECT_EQ(localisedString(key), englishString(key));
        texts += !localisedString(key).empty();
    }
    EXPECT_EQ(texts, 81);
    for (int key : {0, 17, 40, 72, 74, 96, 98, 99, -1})
        EXPECT_TRUE(localisedString(key).empty()) << key;
}

TEST_F(LocalisedStrings, SectionOfTheCurrentLanguageMixesWithEnglish)
{
    writeLanguageFile("[General]\nLanguages No=2\n"
                      "[0]\nstring3=Warnung\n"
                      "[1]\nSTRING3 = Avertissement\nstring41=Format non pris en charge\n"
                      "string17=never read\nstring45="
        + std::string(1500, 'k') + "\n");
    loadStrings(1, paths);
    EXPECT_EQ(localisedString(3), u"Avertissement");
    EXPECT_EQ(localisedString(41), u"Format non pris en charge");
    EXPECT_EQ(localisedString(45), std::u16string(1023, u'k'));
    EXPECT_EQ(localisedString(46), u"Cancel");
    EXPECT_TRUE(localisedString(17).empty());

    loadStrings(7, paths); // names no section
    EXPECT_EQ(localisedString(3), u"Warning");
    EXPECT_EQ(localisedString(41), u"Image format not supported!");
}

TEST_F(LocalisedStrings, ReloadChangesOnlyTheNamedTexts)
{
    writeLanguageFile("[0]\nstring3=Warnung\nstring38=Bericht\nstring47=Neu starten\n");
    loadStrings(1, paths);
    reloadStrings({47, 38}, 0, paths);
    EXPECT_EQ(localisedString(47), u"Neu starten");
    EXPECT_EQ(localisedString(38), u"Bericht");
    EXPECT_EQ(localisedString(3), u"Warning");
}

// The language file that ships beside the module: every language the Options list offers has a
// text of its own for every key that has an English one, with the English text's placeholders.
TEST_F(LocalisedStrings, TheShippedLanguageFileTranslatesEveryText)
{
    paths.languageFile = SHIPPED_LANGUAGE_FILE;
    const Settings settings = loadSettings(paths);
    ASSERT_GE(settings.languages.size(), 7u);
    EXPECT_EQ(settings.languages[0].name, u"English");
    for (std::size_t language = 0; language < settings.languages.size(); ++language) {
        loadStrings(int(language), paths);
        for (int key = FirstStringKey; key <= LastStringKey; ++key) {
            const std::u16string_view english = englishString(key);
            if (english.empty())
                continue;
            const std::u16string& text = localisedString(key);
            EXPECT_FALSE(text.empty()) << "language " << language << ", key " << key;
            if (language == 0) {
                EXPECT_EQ(text, english) << key;
            }
            for (const std::u16string_view placeholder : {u"%1", u"%2", u"%3"})
                EXPECT_EQ(english.find(placeholder) == std::u16string_view::npos,
                    text.find(placeholder) == std::u16string::npos)
                    << "language " << language << ", key " << key;
        }
    }
    loadStrings(0, paths);
}

} // namespace
