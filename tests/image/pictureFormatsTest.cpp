#include "image/pictureFormats.h"
#include "tests/support/testImages.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

PixelRows rowsOf(
    const std::vector<std::uint8_t>& bytes, int width, int height, int pitch, std::uint32_t format)
{
    PixelRows rows;
    rows.first = bytes.data();
    rows.width = width;
    rows.height = height;
    rows.pitch = pitch;
    rows.format = format;
    return rows;
}

TEST(PixelRows, EightBitColourFormatsKeepBlueGreenRed)
{
    // Two pixels a row, rows padded to 8 bytes.
    const std::vector<std::uint8_t> bgr = {1, 2, 3, 4, 5, 6, 99, 99, 7, 8, 9, 10, 11, 12, 99, 99};
    OwnedImage target;
    ASSERT_FALSE(convertPixelRows(target.get(), rowsOf(bgr, 2, 2, 8, PixelFormat24bppRGB)));
    EXPECT_EQ(target->channels, 3);
    EXPECT_EQ(imageBytes(target.get()),
        std::vector<std::uint8_t>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));

    const std::vector<std::uint8_t> bgra = {1, 2, 3, 0, 4, 5, 6, 255};
    for (std::uint32_t format : {PixelFormat32bppRGB, PixelFormat32bppARGB}) {
        ASSERT_FALSE(convertPixelRows(target.get(), rowsOf(bgra, 2, 1, 8, format)));
        EXPECT_EQ(imageBytes(target.get()), std::vector<std::uint8_t>({1, 2, 3, 4, 5, 6}));
    }
}

TEST(PixelRows, SixteenBitPixelsSpreadTheirComponents)
{
    // 0x7FFF: every 555 component 31. 0xF81F: as 555 blue 31, green 0, red 30 (bit 15 ignored);
    // as 565 blue 31, green 0, red 31.
    const std::vector<std::uint8_t> words = {0xFF, 0x7F, 0x1F, 0xF8};
    OwnedImage target;
    ASSERT_FALSE(convertPixelRows(target.get(), rowsOf(words, 2, 1, 4, PixelFormat16bppRGB555)));
    EXPECT_EQ(imageBytes(target.get()), std::vector<std::uint8_t>({248, 248, 248, 248, 0, 240}));
    ASSERT_FALSE(convertPixelRows(target.get(), rowsOf(words, 2, 1, 4, PixelFormat16bppARGB1555)));
    EXPECT_EQ(imageBytes(target.get()), std::vector<std::uint8_t>({248, 248, 248, 248, 0, 240}));
    ASSERT_FALSE(convertPixelRows(target.get(), rowsOf(words, 2, 1, 4, PixelFormat16bppRGB565)));
    EXPECT_EQ(imageBytes(target.get()), std::vector<std::uint8_t>({248, 252, 120, 248, 0, 248}));

    ASSERT_FALSE(convertPixelRows(target.get(), rowsOf(words, 2, 1, 4, PixelFormat16bppGrayScale)));
    EXPECT_EQ(target->channels, 1);
    EXPECT_EQ(target->bitsPerChannel, 16);
    EXPECT_EQ(sampleAt(target.get(), 0, 0, 0), 0x7FFF);

    const std::vector<std::uint8_t> wide = {1, 2, 3, 4, 5, 6, 0xFF, 0xFF};
    ASSERT_FALSE(convertPixelRows(target.get(), rowsOf(wide, 1, 1, 8, PixelFormat64bppARGB)));
    EXPECT_EQ(target->channels, 3);
    EXPECT_EQ(imageBytes(target.get()), std::vector<std::uint8_t>({1, 2, 3, 4, 5, 6}));
}

TEST(PixelRows, IndexedPicturesAreGrayOnlyWhenEveryUsedEntryIs)
{
    const std::vector<std::uint8_t> indices = {0, 1, 1, 0};
    std::vector<std::uint32_t> palette = {0xFF101010, 0xFF808080, 0xFF0000FF}; // last unused, blue
    PixelRows rows = rowsOf(indices, 2, 2, 2, PixelFormat8bppIndexed);
    rows.palette = palette.data();
    rows.paletteSize = 3;
    OwnedImage target;
    ASSERT_FALSE(convertPixelRows(target.get(), rows));
    EXPECT_EQ(target->channels, 1);
    EXPECT_EQ(imageBytes(target.get()), std::vector<std::uint8_t>({0x10, 0x80, 0x80, 0x10}));

    palette[1] = 0xFF112233; // now a used entry is coloured
    ASSERT_FALSE(convertPixelRows(target.get(), rows));
    EXPECT_EQ(target->channels, 3);
    EXPECT_EQ(sampleAt(target.get(), 1, 0, 0), 0x33);
    EXPECT_EQ(sampleAt(target.get(), 1, 0, 2), 0x11);

    rows.paletteSize = 1; // index 1 lies beyond the palette
    EXPECT_TRUE(convertPixelRows(target.get(), rows));
}

TEST(PixelRows, RefusedAndUnlistedFormatsLeaveTheTargetAlone)
{
    const std::vector<std::uint8_t> bytes(64, 7);
    OwnedImage target(3, 3, 1, 8);
    fillImage(target.get(), 5);
    for (std::uint32_t format : std::initializer_list<std::uint32_t> {PixelFormatUndefined,
             PixelFormat1bppIndexed, PixelFormat4bppIndexed, PixelFormat32bppPARGB,
             PixelFormat48bppRGB, PixelFormat64bppPARGB, 0x12345u}) {
        EXPECT_TRUE(convertPixelRows(target.get(), rowsOf(bytes, 2, 2, 16, format))) << format;
        EXPECT_EQ(target->width, 3);
        EXPECT_EQ(target->data[0], 5);
    }
    EXPECT_TRUE(isRefusedPixelFormat(PixelFormat48bppRGB));
    EXPECT_FALSE(isRefusedPixelFormat(PixelFormat64bppARGB));
    EXPECT_FALSE(isRefusedPixelFormat(0x12345u)); // unlisted: failed without the message
}

} // namespace
