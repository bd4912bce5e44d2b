// Reading picture files whole: cut-short files refused before the reader can fill their missing
// rows from stale memory, sizes checked against memory, names as bytes.

#include "pictureFiles/qimageFile.h"
#include "pictureFiles/pictureTruncation.h"
#include "pictureFiles/psfPicture.h"
#include "tests/support/pngWriter.h"
#include "tests/support/temporaryFolder.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// Noise, so that no format can compress the file into a few bytes.
QImage noise(int width, int height, QImage::Format format)
{
    QImage image(width, height, QImage::Format_RGB32);
    std::uint32_t state = 12345;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            image.setPixel(x, y, 0xFF000000u | (state >> 8));
        }
    }
    return image.convertToFormat(format);
}

std::string encoded(const QImage& image, const char* format)
{
    if (std::string(format) == "gif") {
        const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
        std::vector<std::uint8_t> levels;
        for (int y = 0; y < gray.height(); ++y)
            levels.insert(
                levels.end(), gray.constScanLine(y), gray.constScanLine(y) + gray.width());
        return grayGif(gray.width(), gray.height(), levels);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(QImageWriter(&buffer, format).write(image)) << format;
    return bytes.toStdString();
}

struct PictureCase {
    const char* name;
    const char* format;
    QImage::Format layout;
};

const PictureCase pictureCases[] = {
    {"png8", "png", QImage::Format_RGB888},
    {"pngGray16", "png", QImage::Format_Grayscale16},
    {"pngRgba16", "png", QImage::Format_RGBA64},
    {"tiff8", "tiff", QImage::Format_RGB888},
    {"tiff16", "tiff", QImage::Format_RGBA64},
    {"jpeg", "jpeg", QImage::Format_RGB888},
    {"bmp24", "bmp", QImage::Format_RGB888},
    {"bmpIndexed", "bmp", QImage::Format_Indexed8},
    {"gif", "gif", QImage::Format_Grayscale8},
};

class CutPicture : public testing::TestWithParam<PictureCase> { };

// Every cut, from the header alone to a missing last byte, is refused as truncated, and the
// whole file still decodes.
TEST_P(CutPicture, IsRefusedAsTruncatedAtEveryLength)
{
    const std::string file = encoded(noise(97, 61, GetParam().layout), GetParam().format);
    std::string reason;
    QImage image;
    ASSERT_FALSE(pictureEndsEarly(file));
    ASSERT_EQ(decodePictureBytes(file, &image, &reason, false), PictureReadStatus::Read) << reason;
    EXPECT_EQ(image.size(), QSize(97, 61));

    for (const std::size_t length : {std::size_t(60), file.size() / 4, file.size() / 2,
             file.size() * 9 / 10, file.size() - 1}) {
        const std::string cut = file.substr(0, length);
        EXPECT_TRUE(pictureEndsEarly(cut)) << length << " of " << file.size();
        EXPECT_EQ(decodePictureBytes(cut, &image, &reason, false), PictureReadStatus::Truncated)
            << length << " of " << file.size() << ": " << reason;
        EXPECT_TRUE(image.isNull());
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, CutPicture, testing::ValuesIn(pictureCases),
    [](const testing::TestParamInfo<PictureCase>& info) { return info.param.name; });

TEST(PictureFile, ExtraBytesAfterTheEndAreNoTruncation)
{
    for (const PictureCase& picture : pictureCases) {
        const std::string file = encoded(noise(20, 10, picture.layout), picture.format);
        EXPECT_FALSE(pictureEndsEarly(file + std::string(100, '\0'))) << picture.name;
    }
    EXPECT_TRUE(pictureEndsEarly("GIF89a")); // a header and nothing more
    EXPECT_FALSE(pictureEndsEarly(""));
}

// Formats whose files are not checked for truncation are refused by name, whole or cut.
TEST(PictureFile, OtherFormatsAreRefusedByName)
{
    for (const char* format : {"ppm", "webp", "xpm"}) {
        const std::string file = encoded(noise(20, 10, QImage::Format_RGB888), format);
        std::string reason;
        QImage image;
        EXPECT_EQ(decodePictureBytes(file, &image, &reason, false), PictureReadStatus::NotAPicture)
            << format;
        EXPECT_NE(reason.find("which is not read"), std::string::npos) << reason;
        EXPECT_TRUE(image.isNull());
    }
}

// Qt's own allocation limit (128 MiB) refused ordinary 42-megapixel photographs; a header that
// claims ten gigapixels is still refused before anything is decoded.
TEST(PictureFile, SizesAreCheckedAgainstMemoryNotAFixedLimit)
{
    QImage large(7952, 5304, QImage::Format_RGB32);
    large.fill(qRgb(10, 200, 30));
    std::string reason;
    QImage image;
    EXPECT_EQ(
        decodePictureBytes(encoded(large, "png"), &image, &reason, false), PictureReadStatus::Read)
        << reason;
    EXPECT_EQ(image.size(), large.size());

    EXPECT_EQ(decodePictureBytes(pngWithoutPixels(100000, 100000), &image, &reason, false),
        PictureReadStatus::TooLarge);
    EXPECT_NE(reason.find("too large"), std::string::npos) << reason;
    EXPECT_NE(reason.find("100000 x 100000"), std::string::npos) << reason;
}

TEST(PictureFile, FilesThatAreNoPicturesSayWhatTheyAre)
{
    TemporaryFolder folder;
    writeFileBytes(folder.file("empty.png"), "");
    writeFileBytes(folder.file("text.png"), "not a picture at all");
    ASSERT_EQ(::mkfifo(folder.file("pipe.png").c_str(), 0600), 0);
    struct {
        std::string path;
        PictureReadStatus status;
        const char* reason;
    } const cases[] = {
        {folder.file("missing.png"), PictureReadStatus::Unreadable, "No such file"},
        {folder.path(), PictureReadStatus::Unreadable, "folder"},
        {folder.file("pipe.png"), PictureReadStatus::Unreadable, "not a regular file"},
        {folder.file("empty.png"), PictureReadStatus::NotAPicture, "empty"},
        {folder.file("text.png"), PictureReadStatus::NotAPicture, "not a picture"},
    };
    for (const auto& c : cases) {
        QImage image;
        std::string reason;
        EXPECT_EQ(readPictureFile(c.path, &image, &reason, false), c.status) << c.path;
        EXPECT_NE(reason.find(c.reason), std::string::npos) << c.path << ": " << reason;
    }
}

// A name that is not UTF-8 reaches its file unchanged.
TEST(PictureFile, NamesAreBytes)
{
    TemporaryFolder folder;
    const std::string path = folder.file("caf\xe9.png");
    writeFileBytes(path, encoded(noise(8, 8, QImage::Format_RGB888), "png"));
    QImage image;
    std::string reason;
    EXPECT_EQ(readPictureFile(path, &image, &reason, false), PictureReadStatus::Read) << reason;
}

// A cut-short point-spread-function picture is refused, not filled from stale memory.
TEST(PictureFile, TruncatedPointSpreadPicturesAreUnreadable)
{
    TemporaryFolder folder;
    const std::string file = encoded(noise(9, 9, QImage::Format_Grayscale8), "bmp");
    writeFileBytes(folder.file("psf.bmp"), file.substr(0, file.size() / 2));
    ImageBuffer kernel {};
    std::string reason;
    EXPECT_EQ(
        readPsfPicture(folder.file("psf.bmp"), &kernel, &reason), PsfPictureStatus::Unreadable);
    EXPECT_EQ(reason, "the file is truncated");
    EXPECT_EQ(kernel.data, nullptr);
}

} // namespace
