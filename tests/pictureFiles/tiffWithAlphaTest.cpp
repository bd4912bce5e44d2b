#include "pictureFiles/tiffWithAlpha.h"
#include "tests/support/temporaryFolder.h"

#include <QColor>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <tiffio.h>
#include <vector>

namespace {

// A gray-with-alpha TIFF written by libtiff with the fields `describe` sets, and the bytes of
// its pixels (or raw tiles) written by `fill`.
std::string grayAlphaTiff(const TemporaryFolder& folder, int width, int height,
    const std::function<void(TIFF*)>& describe, const std::function<bool(TIFF*)>& fill)
{
    const std::string path = folder.file("picture.tif");
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    EXPECT_NE(tiff, nullptr);
    if (!tiff)
        return {};
    const std::uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, std::uint32_t(width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, std::uint32_t(height));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 2);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, extra);
    describe(tiff);
    const bool filled = fill(tiff);
    TIFFClose(tiff);
    EXPECT_TRUE(filled);
    return readFileBytes(path);
}

class TiffWithAlpha : public testing::Test {
protected:
    TemporaryFolder folder;
};

// Separate planes compressed in strips of many rows: libtiff reads such a strip forward only.
TEST_F(TiffWithAlpha, ReadsSeparatePlanesInCompressedStrips)
{
    constexpr int Width = 40;
    constexpr int Height = 30;
    const auto grayAt = [](int x, int y) { return std::uint8_t(x * 5 + y); };
    const auto alphaAt = [](int x, int y) { return std::uint8_t(255 - x - y); };
    const std::string bytes = grayAlphaTiff(
        folder, Width, Height,
        [](TIFF* tiff) {
            TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_SEPARATE);
            TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
            TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, std::uint32_t(Height));
        },
        [&](TIFF* tiff) {
            std::vector<std::uint8_t> row(Width);
            for (int plane = 0; plane < 2; ++plane) {
                for (int y = 0; y < Height; ++y) {
                    for (int x = 0; x < Width; ++x)
                        row[std::size_t(x)] = plane == 0 ? grayAt(x, y) : alphaAt(x, y);
                    if (TIFFWriteScanline(tiff, row.data(), std::uint32_t(y), std::uint16_t(plane))
                        < 0)
                        return false;
                }
            }
            return true;
        });
    QImage image;
    std::string reason;
    ASSERT_EQ(readTiffWithAlpha(bytes, &image, &reason), TiffAlphaRead::Read) << reason;
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            const QColor pixel = image.pixelColor(x, y);
            ASSERT_EQ(pixel.red(), grayAt(x, y)) << x << "," << y;
            ASSERT_EQ(pixel.alpha(), alphaAt(x, y)) << x << "," << y;
        }
    }
}

// Layouts that Qt's reader would read wrong are refused by name: signed samples (-20000 read as
// 45536), and alpha where Qt drops it or damages faint colours.
TEST_F(TiffWithAlpha, RefusesByNameWhatWouldBeReadWrong)
{
    const struct {
        const char* name;
        std::function<void(TIFF*)> describe;
        const char* said;
    } cases[] = {
        {"signed", [](TIFF* tiff) { TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_INT); },
            "signed samples"},
        {"flipped",
            [](TIFF* tiff) { TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_BOTRIGHT); },
            "orientation"},
        {"white is zero",
            [](TIFF* tiff) { TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE); },
            "colour model"},
    };
    for (const auto& c : cases) {
        const std::string bytes = grayAlphaTiff(folder, 8, 8, c.describe, [](TIFF* tiff) {
            const std::vector<std::uint8_t> row(16, 100);
            for (std::uint32_t y = 0; y < 8; ++y)
                if (TIFFWriteScanline(tiff, const_cast<std::uint8_t*>(row.data()), y, 0) < 0)
                    return false;
            return true;
        });
        QImage image;
        std::string reason;
        EXPECT_EQ(readTiffWithAlpha(bytes, &image, &reason), TiffAlphaRead::Refused) << c.name;
        EXPECT_NE(reason.find(c.said), std::string::npos) << c.name << ": " << reason;
    }
}

// A 164-byte file may claim tiles of 32768 x 32768 for a 64 x 64 picture: refused as damaged
// before gigabytes are taken for one tile.
TEST_F(TiffWithAlpha, RefusesTilesFarLargerThanThePicture)
{
    const std::string bytes = grayAlphaTiff(
        folder, 64, 64,
        [](TIFF* tiff) {
            TIFFSetField(tiff, TIFFTAG_TILEWIDTH, std::uint32_t(32768));
            TIFFSetField(tiff, TIFFTAG_TILELENGTH, std::uint32_t(32768));
        },
        [](TIFF* tiff) {
            const std::uint8_t raw[16] = {};
            return TIFFWriteRawTile(tiff, 0, const_cast<std::uint8_t*>(raw), sizeof raw) > 0;
        });
    ASSERT_LT(bytes.size(), 1000u);
    const auto peakMegabytes = [] {
        rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        return usage.ru_maxrss / 1024;
    };
    const long before = peakMegabytes();
    QImage image;
    std::string reason;
    EXPECT_EQ(readTiffWithAlpha(bytes, &image, &reason), TiffAlphaRead::Damaged);
    EXPECT_TRUE(image.isNull());
    EXPECT_LT(peakMegabytes() - before, 256);
}

} // namespace
