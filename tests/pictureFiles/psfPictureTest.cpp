#include "pictureFiles/psfPicture.h"
#include "tests/support/temporaryFolder.h"
#include "tests/support/testImages.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

class PictureDecoder : public testing::Test {
protected:
    std::string save(const QImage& image, const char* name)
    {
        const std::string path = folder.file(name);
        EXPECT_TRUE(image.save(QString::fromStdString(path))) << name;
        return path;
    }
    static QImage filled(int width, int height, QImage::Format format, QRgb colour)
    {
        QImage image(width, height, format);
        image.fill(colour);
        return image;
    }

    // More than 16 colours, so that the writer keeps 8 bits a pixel.
    static QImage redRamp()
    {
        QImage image(32, 2, QImage::Format_RGB32);
        for (int x = 0; x < 32; ++x)
            for (int y = 0; y < 2; ++y)
                image.setPixel(x, y, qRgb(100 + 4 * x, 0, 0));
        return image.convertToFormat(QImage::Format_Indexed8);
    }

    TemporaryFolder folder;
    std::string reason;
};

TEST_F(PictureDecoder, AcceptedPicturesBecomeEightOrSixteenBitRecords)
{
    struct {
        const char* name;
        QImage image;
        std::uint32_t format;
        int channels, bits;
        int firstSample;
    } const cases[] = {
        {"gray.png", filled(5, 4, QImage::Format_Grayscale8, qRgb(90, 90, 90)),
            PixelFormat8bppIndexed, 1, 8, 90},
        {"colour.png", filled(5, 4, QImage::Format_RGB32, qRgb(10, 20, 30)), PixelFormat32bppRGB, 3,
            8, 30},
        {"alpha.png", filled(5, 4, QImage::Format_ARGB32, qRgba(10, 20, 30, 40)),
            PixelFormat32bppARGB, 3, 8, 30},
        {"gray16.png", filled(5, 4, QImage::Format_Grayscale16, qRgb(255, 255, 255)),
            PixelFormat16bppGrayScale, 1, 16, 65535},
        {"alpha16.png", filled(5, 4, QImage::Format_RGBA64, qRgba(0, 0, 255, 128)),
            PixelFormat64bppARGB, 3, 16, 65535},
        {"colour.jpg", filled(16, 16, QImage::Format_RGB32, qRgb(0, 0, 250)), PixelFormat32bppRGB,
            3, 8, -1},
        {"indexed.bmp", redRamp(), PixelFormat8bppIndexed, 3, 8, 0},
    };
    for (const auto& c : cases) {
        const std::string path = save(c.image, c.name);
        DecodedPicture picture;
        ASSERT_FALSE(decodePicture(path, &picture, &reason)) << c.name << ": " << reason;
        EXPECT_EQ(picture.format, c.format) << c.name;
        OwnedImage target;
        ASSERT_EQ(readPsfPicture(path, target.get(), &reason), PsfPictureStatus::Loaded) << c.name;
        EXPECT_EQ(target->width, c.image.width());
        EXPECT_EQ(target->channels, c.channels) << c.name;
        EXPECT_EQ(target->bitsPerChannel, c.bits) << c.name;
        if (c.firstSample >= 0) {
            EXPECT_EQ(sampleAt(target.get(), 0, 0, 0), c.firstSample) << c.name;
        }
    }
}

TEST_F(PictureDecoder, RefusedPicturesKeepTheTarget)
{
    // A 4-bit BMP, written byte by byte: 2 x 1 pixels, 16 palette entries.
    std::string bmp = "BM";
    auto put = [&bmp](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            bmp += char(value >> (8 * i) & 0xFF);
    };
    put(14 + 40 + 64 + 4, 4);
    put(0, 4);
    put(14 + 40 + 64, 4);
    put(40, 4);
    put(2, 4);
    put(1, 4);
    put(1, 2);
    put(4, 2); // bits per pixel
    put(0, 4);
    put(4, 4);
    put(0, 4);
    put(0, 4);
    put(16, 4);
    put(0, 4);
    for (int i = 0; i < 16; ++i)
        put(0x00101010u * std::uint32_t(i), 4);
    put(0x12, 4);
    const std::string fourBit = folder.file("four.bmp");
    writeFileBytes(fourBit, bmp);

    const std::string paths[] = {
        fourBit,
        save(filled(8, 2, QImage::Format_Mono, qRgb(255, 255, 255)), "mono.png"),
        save(filled(8, 2, QImage::Format_Mono, qRgb(0, 0, 0)), "mono.bmp"),
        save(filled(3, 2, QImage::Format_RGBX64, qRgb(1, 2, 3)), "colour48.png"),
        save(filled(3, 2, QImage::Format_RGBX64, qRgb(1, 2, 3)), "colour48.tif"),
    };
    OwnedImage target(2, 2, 1, 8);
    fillImage(target.get(), 6);
    for (const std::string& path : paths) {
        EXPECT_EQ(readPsfPicture(path, target.get(), &reason), PsfPictureStatus::NotSupported)
            << path;
        EXPECT_EQ(target->width, 2);
        EXPECT_EQ(target->data[0], 6);
    }
}

TEST_F(PictureDecoder, UndecodableFilesSayWhy)
{
    const std::string garbage = folder.file("garbage.png");
    writeFileBytes(garbage, "\x89PNG\r\n\x1a\nnot really");
    OwnedImage target(2, 2, 1, 8);
    for (const std::string& path : {garbage, folder.file("missing.png")}) {
        reason.clear();
        EXPECT_EQ(readPsfPicture(path, target.get(), &reason), PsfPictureStatus::Unreadable);
        EXPECT_FALSE(reason.empty());
        EXPECT_EQ(target->width, 2);
    }
}

} // namespace
