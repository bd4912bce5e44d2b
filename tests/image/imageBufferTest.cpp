#include "image/imageBuffer.h"
#include "tests/support/testImages.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

struct GeometryCase {
    const char* name;
    int width, height, channels, bits;
    int stride, dataSize;
};

class AllocateImageGeometry : public testing::TestWithParam<GeometryCase> { };

TEST_P(AllocateImageGeometry, StoresRowAndBlockSizes)
{
    const GeometryCase& c = GetParam();
    OwnedImage owned;
    ASSERT_EQ(allocateImage(owned.get(), c.width, c.height, c.channels, c.bits), 0);
    EXPECT_NE(owned->data, nullptr);
    EXPECT_EQ(owned->stride, c.stride);
    EXPECT_EQ(owned->dataSize, c.dataSize);
    EXPECT_EQ(owned->width, c.width);
    EXPECT_EQ(owned->height, c.height);
    EXPECT_EQ(owned->channels, c.channels);
    EXPECT_EQ(owned->bitsPerChannel, c.bits);
}

INSTANTIATE_TEST_SUITE_P(Formats, AllocateImageGeometry,
    testing::Values(GeometryCase {"gray8", 7, 3, 1, 8, 7, 21},
        GeometryCase {"bgr8", 7, 3, 3, 8, 21, 63}, GeometryCase {"host15", 5, 2, 3, 15, 30, 60},
        GeometryCase {"bgr16", 5, 2, 3, 16, 30, 60},
        GeometryCase {"hostBgra16", 5, 2, 4, 16, 40, 80},
        GeometryCase {"float", 3, 4, 1, 32, 12, 48}, GeometryCase {"double", 3, 4, 1, 64, 24, 96},
        GeometryCase {"oneByOne", 1, 1, 1, 8, 1, 1}, GeometryCase {"empty", 0, 5, 3, 8, 0, 0}),
    [](const testing::TestParamInfo<GeometryCase>& info) { return info.param.name; });

TEST(AllocateImage, HugeRequestReturnsOutOfMemoryWithNullData)
{
    struct {
        int width, height, channels, bits;
    } const cases[] = {
        {70000, 70000, 3, 8}, // block of 14.7 GB
        {1 << 30, 1, 1, 32}, // one row of 4 GiB
        {46341, 46341, 1, 8}, // just past 2^31 - 1 bytes
        {-5, 10, 1, 8}, // negative geometry
        {10, -5, 3, 16},
    };
    for (const auto& c : cases) {
        OwnedImage owned(2, 2, 1, 8);
        EXPECT_EQ(
            allocateImage(owned.get(), c.width, c.height, c.channels, c.bits), ImageOutOfMemory)
            << c.width << " x " << c.height;
        EXPECT_EQ(owned->data, nullptr);
        EXPECT_EQ(owned->width, c.width);
        EXPECT_EQ(owned->height, c.height);
        EXPECT_EQ(owned->channels, c.channels);
        EXPECT_EQ(owned->bitsPerChannel, c.bits);
    }
}

TEST(AllocateImage, LargestBlockThatFitsIsAccepted)
{
    // 46340^2 = 2147395600 bytes: the size computation must not report a false overflow.
    ImageBuffer image {};
    const int result = allocateImage(&image, 46340, 46340, 1, 8);
    if (result == 0) {
        EXPECT_EQ(image.dataSize, 2147395600);
        EXPECT_NE(image.data, nullptr);
    } else {
        EXPECT_EQ(image.dataSize, 2147395600); // the geometry is kept even when memory is short
    }
    releaseImage(&image);
}

TEST(AllocateImage, ReshapingReplacesTheBlock)
{
    OwnedImage owned(4, 4, 3, 8);
    ASSERT_EQ(allocateImage(owned.get(), 9, 2, 1, 32), 0);
    EXPECT_EQ(owned->dataSize, 72);
    fillImage(owned.get(), 1); // the whole new block is writable (checked by the sanitizers)
}

TEST(ReleaseImage, ZeroesTheRecordButLeavesAFailedRecordAlone)
{
    ImageBuffer image {};
    ASSERT_EQ(allocateImage(&image, 3, 3, 1, 8), 0);
    releaseImage(&image);
    EXPECT_EQ(image.data, nullptr);
    EXPECT_EQ(image.width, 0);
    EXPECT_EQ(image.dataSize, 0);
    EXPECT_EQ(image.bitsPerChannel, 0);

    ImageBuffer failed {nullptr, 12, 4, 4, 3, 1, 8};
    releaseImage(&failed);
    EXPECT_EQ(failed.width, 4);
    EXPECT_EQ(failed.dataSize, 12);
}

TEST(CopyImageHeader, EqualSizeWithOtherShapeKeepsBlockAndContents)
{
    OwnedImage target(100, 50, 1, 8);
    OwnedImage source(50, 100, 1, 8);
    fillBytePattern(target.get(), 3);
    const std::vector<std::uint8_t> before = imageBytes(target.get());
    std::uint8_t* block = target->data;

    ASSERT_EQ(copyImageHeader(target.get(), source.get()), 0);
    EXPECT_EQ(target->data, block);
    EXPECT_EQ(imageBytes(target.get()), before);
    EXPECT_EQ(target->width, 50);
    EXPECT_EQ(target->height, 100);
    EXPECT_EQ(target->stride, 50);
}

TEST(CopyImageHeader, OtherSizeGetsANewBlockOfTheSourceGeometry)
{
    OwnedImage target(2, 2, 1, 8);
    OwnedImage source(6, 5, 3, 16);
    ASSERT_EQ(copyImageHeader(target.get(), source.get()), 0);
    EXPECT_EQ(target->dataSize, 180);
    EXPECT_EQ(target->stride, 36);
    EXPECT_EQ(target->channels, 3);
    EXPECT_EQ(target->bitsPerChannel, 16);
    fillImage(target.get(), 0);
}

TEST(CopyImageHeader, TargetWithoutBlockGetsOneEvenWhenSizesMatch)
{
    OwnedImage source(4, 4, 1, 8);
    ImageBuffer target {nullptr, 16, 4, 4, 4, 1, 8}; // a record whose allocation failed
    ASSERT_EQ(copyImageHeader(&target, source.get()), 0);
    EXPECT_NE(target.data, nullptr);
    releaseImage(&target);
}

TEST(CopyImageHeader, SourceGeometryBeyond32BitsFailsWithNullData)
{
    // The fields disagree: width and height describe 4 GiB while dataSize claims 16 bytes.
    const ImageBuffer source {nullptr, 16, 4, 65536, 65536, 1, 8};
    OwnedImage target(3, 3, 1, 8);
    EXPECT_EQ(copyImageHeader(target.get(), &source), ImageOutOfMemory);
    EXPECT_EQ(target->data, nullptr);
    EXPECT_EQ(target->width, 3);
    EXPECT_EQ(target->dataSize, 9);
}

TEST(CopyImagePixels, CopiesTheSmallerSizeAndLeavesTheRest)
{
    OwnedImage small(3, 2, 1, 8);
    OwnedImage large(4, 2, 1, 8);
    fillBytePattern(small.get(), 1);
    fillImage(large.get(), 0xEE);
    copyImagePixels(large.get(), small.get());
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(large->data[i], small->data[i]);
    EXPECT_EQ(large->data[6], 0xEE);
    EXPECT_EQ(large->data[7], 0xEE);

    fillBytePattern(large.get(), 9);
    copyImagePixels(small.get(), large.get());
    EXPECT_EQ(std::memcmp(small->data, large->data, 6), 0);
}

TEST(FillImage, UsesTheLowEightBitsAndClearGivesFloatZero)
{
    OwnedImage image(3, 3, 1, 8);
    fillImage(image.get(), 0x1A5);
    for (std::uint8_t byte : imageBytes(image.get()))
        EXPECT_EQ(byte, 0xA5);

    OwnedImage plane(3, 3, 1, 32);
    fillImage(plane.get(), 7);
    clearImage(plane.get());
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(reinterpret_cast<const float*>(plane->data)[i], 0.0f);
}

TEST(CopyImageRect, PlacesABlockInsideAPaddedArea)
{
    OwnedImage source(3, 2, 3, 8);
    OwnedImage target(7, 6, 3, 8);
    fillBytePattern(source.get(), 5);
    fillImage(target.get(), 0);
    copyImageRect(target.get(), source.get(), {2, 3}, {1, 0}, {2, 2});
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 7; ++x) {
            const bool inside = x >= 2 && x < 4 && y >= 3 && y < 5;
            for (int c = 0; c < 3; ++c) {
                const int expected = inside ? sampleAt(source.get(), x - 1, y - 3, c) : 0;
                EXPECT_EQ(sampleAt(target.get(), x, y, c), expected) << x << "," << y;
            }
        }
    }
}

TEST(CopyImageRect, SampleSizeComesFromTheTargetFormat)
{
    struct {
        int channels, bits;
        bool copies;
    } const cases[] = {
        {1, 16, true},
        {3, 15, true},
        {1, 32, true},
        {1, 64, true},
        {3, 32, false},
        {4, 8, false},
        {3, 64, false},
    };
    for (const auto& c : cases) {
        OwnedImage source(4, 3, c.channels, c.bits);
        OwnedImage target(4, 3, c.channels, c.bits);
        fillBytePattern(source.get(), 2);
        fillImage(target.get(), 0);
        copyImageRect(target.get(), source.get(), {1, 1}, {1, 1}, {3, 2});
        const int pixelBytes = c.channels * bytesPerSample(c.bits);
        const int firstCopied = target->stride + pixelBytes;
        EXPECT_EQ(target->data[0], 0);
        EXPECT_EQ(target->data[firstCopied + pixelBytes * 3 - 1],
            c.copies ? source->data[firstCopied + pixelBytes * 3 - 1] : 0)
            << c.channels << " x " << c.bits;
    }
}

TEST(FillImageRect, FillsOnlyTheRectangleOfHandledFormats)
{
    OwnedImage image(5, 4, 3, 8);
    fillImage(image.get(), 0);
    fillImageRect(image.get(), {1, 1, 3, 4}, 0x17F);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x) {
            const int expected = x >= 1 && x < 3 && y >= 1 ? 0x7F : 0;
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(sampleAt(image.get(), x, y, c), expected);
        }
    }

    OwnedImage doubles(3, 3, 1, 64);
    fillImage(doubles.get(), 0xFF);
    fillImageRect(doubles.get(), {0, 0, 3, 1}, 0);
    EXPECT_EQ(reinterpret_cast<const double*>(doubles->data)[2], 0.0);
    EXPECT_EQ(doubles->data[3 * 8], 0xFF);

    OwnedImage words(3, 3, 1, 16);
    fillImage(words.get(), 1);
    fillImageRect(words.get(), {0, 0, 3, 3}, 9);
    for (std::uint8_t byte : imageBytes(words.get()))
        EXPECT_EQ(byte, 1);
}

TEST(FillImageRectAndCropImage, EmptyRectanglesDoNothing)
{
    OwnedImage image(4, 4, 1, 8);
    OwnedImage target(4, 4, 1, 8);
    fillBytePattern(image.get());
    fillImage(target.get(), 3);
    const std::vector<std::uint8_t> before = imageBytes(image.get());
    for (ImageRect rect :
        {ImageRect {2, 0, 2, 4}, ImageRect {0, 3, 4, 3}, ImageRect {3, 0, 1, 4}}) {
        fillImageRect(image.get(), rect, 0);
        cropImage(target.get(), image.get(), rect);
    }
    EXPECT_EQ(imageBytes(image.get()), before);
    for (std::uint8_t byte : imageBytes(target.get()))
        EXPECT_EQ(byte, 3);
}

TEST(CropImage, CopiesTheRectangleToTheCornerOfAWiderTarget)
{
    OwnedImage source(6, 5, 1, 16);
    OwnedImage target(4, 3, 1, 16);
    fillBytePattern(source.get(), 11);
    fillImage(target.get(), 0);
    cropImage(target.get(), source.get(), {2, 1, 5, 3});
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            const int expected = x < 3 && y < 2 ? sampleAt(source.get(), x + 2, y + 1, 0) : 0;
            EXPECT_EQ(sampleAt(target.get(), x, y, 0), expected) << x << "," << y;
        }
    }
}

TEST(CropImage, ThreeChannelFloatsCopyTwelveBytesAPixel)
{
    OwnedImage source(3, 2, 3, 32);
    OwnedImage target(2, 1, 3, 32);
    fillBytePattern(source.get(), 4);
    fillImage(target.get(), 0);
    cropImage(target.get(), source.get(), {1, 1, 3, 2});
    EXPECT_EQ(std::memcmp(target->data, source->data + source->stride + 12, 24), 0);
}

} // namespace
