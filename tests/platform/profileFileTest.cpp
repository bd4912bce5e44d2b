#include "platform/profileFile.h"
#include "tests/support/temporaryFolder.h"

#include <gtest/gtest.h>

namespace {

std::u16string read(const std::string& path, std::u16string_view section, std::u16string_view key,
    std::size_t maxLength = 1023)
{
    return readProfileString(path, section, key, u"<default>", maxLength);
}

TEST(ProfileFile, FindsKeysRegardlessOfCaseAndBlanks)
{
    TemporaryFolder folder;
    const std::string path = folder.file("a.ini");
    writeFileBytes(path,
        "stray=before any section\n"
        "[General]\n"
        "  Languages No  =  3  \n"
        "; comment=not a key\n"
        "quoted=\"  spaced  \"\n"
        "empty=\n"
        "[ second ]\r\n"
        "Key=first\n"
        "key=second\n"
        "[general]\n"
        "late=in a repeated section\n");
    EXPECT_EQ(read(path, u"general", u"languages no"), u"3");
    EXPECT_EQ(read(path, u"GENERAL", u"quoted"), u"  spaced  ");
    EXPECT_EQ(read(path, u"General", u"empty"), u"");
    EXPECT_EQ(read(path, u"Second", u"KEY"), u"first");
    EXPECT_EQ(read(path, u"General", u"; comment"), u"<default>");
    EXPECT_EQ(read(path, u"General", u"stray"), u"<default>");
    EXPECT_EQ(read(path, u"General", u"late"), u"<default>");
    EXPECT_EQ(read(path, u"Missing", u"Key"), u"<default>");
    EXPECT_EQ(read(folder.file("absent.ini"), u"General", u"Key"), u"<default>");
}

TEST(ProfileFile, ValuesAndDefaultsAreCutToTheBufferLength)
{
    TemporaryFolder folder;
    const std::string path = folder.file("a.ini");
    writeFileBytes(path, "[0]\nlong=" + std::string(1500, 'x') + "\npair=ab\xF0\x9F\x98\x80\n");
    EXPECT_EQ(read(path, u"0", u"long"), std::u16string(1023, u'x'));
    EXPECT_EQ(read(path, u"0", u"missing", 3), u"<de");
    // A cut that would keep half of a surrogate pair drops it whole.
    EXPECT_EQ(read(path, u"0", u"pair", 3), u"ab");
    EXPECT_EQ(read(path, u"0", u"pair", 4), u"ab\U0001F600");
}

TEST(ProfileFile, ReadsUtf8WithBomAndUtf16LittleEndian)
{
    TemporaryFolder folder;
    const std::string utf8 = folder.file("utf8.ini");
    writeFileBytes(utf8,
        "\xEF\xBB\xBF[0]\nLanguage=Fran\xC3\xA7"
        "ais\n");
    EXPECT_EQ(read(utf8, u"0", u"Language"), u"Français");

    const std::u16string text = u"[0]\r\nLanguage=Ελληνικά\r\n";
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes += char(c & 0xFF);
        bytes += char(c >> 8);
    }
    const std::string utf16 = folder.file("utf16.ini");
    writeFileBytes(utf16, bytes);
    EXPECT_EQ(read(utf16, u"0", u"language"), u"Ελληνικά");

    const std::string broken = folder.file("broken.ini");
    writeFileBytes(broken,
        "[0]\nbad=a\xFF"
        "b\n");
    EXPECT_EQ(read(broken, u"0", u"bad"), u"a\uFFFDb");
}

TEST(ProfileFile, WritesCreateTheFileAndSection)
{
    TemporaryFolder folder;
    const std::string path = folder.file("new.ini");
    EXPECT_FALSE(writeProfileString(path, u"General", u"Crashed Last Time", u"1"));
    EXPECT_EQ(readFileBytes(path), "[General]\nCrashed Last Time=1\n");
    EXPECT_FALSE(writeProfileString(path, u"Other", u"x", u"é"));
    EXPECT_EQ(readFileBytes(path), "[General]\nCrashed Last Time=1\n[Other]\nx=\xC3\xA9\n");
}

TEST(ProfileFile, WritesKeepEveryOtherLineEncodingAndLineEnding)
{
    TemporaryFolder folder;
    const std::string path = folder.file("keep.ini");
    writeFileBytes(path,
        "\xEF\xBB\xBF; my settings\r\n"
        "[General]\r\n"
        "method = 1\r\n"
        "power=2\r\n"
        "\r\n"
        "[Extra]\r\n"
        "kept=yes\r\n");
    EXPECT_FALSE(writeProfileString(path, u"general", u"METHOD", u"0"));
    EXPECT_FALSE(writeProfileString(path, u"General", u"noise", u"1"));
    EXPECT_EQ(readFileBytes(path),
        "\xEF\xBB\xBF; my settings\r\n"
        "[General]\r\n"
        "METHOD=0\r\n"
        "power=2\r\n"
        "noise=1\r\n"
        "\r\n"
        "[Extra]\r\n"
        "kept=yes\r\n");
}

TEST(ProfileFile, WritesKeepUtf16Files)
{
    TemporaryFolder folder;
    const std::string path = folder.file("wide.ini");
    writeFileBytes(path, std::string("\xFF\xFE[\0a\0]\0\n\0", 10));
    EXPECT_FALSE(writeProfileString(path, u"a", u"k", u"v"));
    EXPECT_EQ(readFileBytes(path), std::string("\xFF\xFE[\0a\0]\0\n\0k\0=\0v\0\n\0", 18));
    EXPECT_EQ(read(path, u"A", u"K"), u"v");
}

TEST(ProfileFile, FailedWriteLeavesNoFileBehind)
{
    TemporaryFolder folder;
    const std::string path = folder.file("missing-folder/settings.ini");
    EXPECT_TRUE(writeProfileString(path, u"General", u"k", u"v"));
    EXPECT_FALSE(fileExists(path));
    EXPECT_FALSE(fileExists(folder.file("missing-folder")));
}

} // namespace
