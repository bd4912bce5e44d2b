#include "image/imageFormat.h"
#include "tests/support/testImages.h"

#include <gtest/gtest.h>

namespace {

// Converts one gray sample from one depth to another.
int convertSample(int value, int fromBits, int toBits)
{
    OwnedImage image(1, 1, 1, fromBits);
    setSample(image.get(), 0, 0, 0, value);
    EXPECT_FALSE(changeImageFormat(image.get(), toBits, 1));
    EXPECT_EQ(image->bitsPerChannel, toBits);
    return sampleAt(image.get(), 0, 0, 0);
}

struct DepthCase {
    const char* name;
    int fromBits, value, toBits, expected;
};

class ChangeImageDepth : public testing::TestWithParam<DepthCase> { };

TEST_P(ChangeImageDepth, ConvertsSample)
{
    const DepthCase& c = GetParam();
    EXPECT_EQ(convertSample(c.value, c.fromBits, c.toBits), c.expected);
}

INSTANTIATE_TEST_SUITE_P(DepthTable, ChangeImageDepth,
    testing::Values(DepthCase {"sixteenToEight", 16, 0x12FF, 8, 0x12},
        DepthCase {"sixteenWhiteToEight", 16, 65535, 8, 255},
        DepthCase {"hostWhiteToEight", 15, 32768, 8, 255},
        DepthCase {"hostToEightShiftsBySeven", 15, 16511, 8, 128},
        DepthCase {"hostAboveRangeToEight", 15, 65535, 8, 255},
        DepthCase {"eightWhiteToSixteen", 8, 255, 16, 65280},
        DepthCase {"eightToSixteen", 8, 1, 16, 256},
        DepthCase {"eightWhiteToHost", 8, 255, 15, 32640},
        DepthCase {"hostWhiteToSixteen", 15, 32768, 16, 65535},
        DepthCase {"hostHalfToSixteen", 15, 16384, 16, 32768},
        DepthCase {"hostOneToSixteen", 15, 1, 16, 2},
        DepthCase {"hostAboveRangeIsCapped", 15, 40000, 16, 65535},
        DepthCase {"sixteenWhiteToHost", 16, 65535, 15, 32768},
        DepthCase {"sixteenBlackToHost", 16, 0, 15, 0},
        DepthCase {"sixteenOneToHost", 16, 1, 15, 1}),
    [](const testing::TestParamInfo<DepthCase>& info) { return info.param.name; });

TEST(ChangeImageFormat, EveryHostSampleSurvivesTheRoundTripThroughSixteenBits)
{
    constexpr int count = 32769;
    OwnedImage image(count, 1, 1, 15);
    for (int v = 0; v < count; ++v)
        setSample(image.get(), v, 0, 0, v);
    ASSERT_FALSE(changeImageFormat(image.get(), 16, 1));
    int previous = -1;
    for (int v = 0; v < count; ++v) {
        const int wide = sampleAt(image.get(), v, 0, 0);
        ASSERT_GT(wide, previous) << v; // strictly increasing: no two host values merge
        previous = wide;
    }
    EXPECT_EQ(previous, 65535);
    ASSERT_FALSE(changeImageFormat(image.get(), 15, 1));
    for (int v = 0; v < count; ++v)
        ASSERT_EQ(sampleAt(image.get(), v, 0, 0), v);
}

TEST(ChangeImageFormat, ColourToGrayIsTheTruncatedMean)
{
    OwnedImage image(3, 1, 3, 8);
    const int pixels[3][3] = {{255, 0, 1}, {10, 11, 11}, {255, 255, 255}};
    for (int x = 0; x < 3; ++x)
        for (int c = 0; c < 3; ++c)
            setSample(image.get(), x, 0, c, pixels[x][c]);
    ASSERT_FALSE(changeImageFormat(image.get(), 8, 1));
    EXPECT_EQ(image->channels, 1);
    EXPECT_EQ(image->stride, 3);
    EXPECT_EQ(sampleAt(image.get(), 0, 0, 0), 85);
    EXPECT_EQ(sampleAt(image.get(), 1, 0, 0), 10);
    EXPECT_EQ(sampleAt(image.get(), 2, 0, 0), 255);
}

TEST(ChangeImageFormat, SixteenBitMeanSumsWithoutOverflowBeforeTheDepthStep)
{
    OwnedImage image(1, 1, 4, 16);
    for (int c = 0; c < 4; ++c)
        setSample(image.get(), 0, 0, c, c == 3 ? 65532 : 65535);
    ASSERT_FALSE(changeImageFormat(image.get(), 8, 1));
    EXPECT_EQ(sampleAt(image.get(), 0, 0, 0), 255); // mean 65534, then >> 8

    OwnedImage wide(1, 1, 3, 16);
    const int samples[3] = {65535, 65535, 65533};
    for (int c = 0; c < 3; ++c)
        setSample(wide.get(), 0, 0, c, samples[c]);
    ASSERT_FALSE(changeImageFormat(wide.get(), 16, 1));
    EXPECT_EQ(sampleAt(wide.get(), 0, 0, 0), 65534);
}

TEST(ChangeImageFormat, FloatMeanSumsInSinglePrecision)
{
    OwnedImage image(1, 1, 3, 32);
    float* samples = reinterpret_cast<float*>(image->data);
    samples[0] = 1.0f;
    samples[1] = 2.0f;
    samples[2] = 4.0f;
    ASSERT_FALSE(changeImageFormat(image.get(), 32, 1));
    EXPECT_EQ(reinterpret_cast<const float*>(image->data)[0], 7.0f / 3.0f);
}

TEST(ChangeImageFormat, GrayToColourAndBackIsUnchanged)
{
    OwnedImage image(5, 3, 1, 8);
    fillBytePattern(image.get(), 17);
    const std::vector<std::uint8_t> gray = imageBytes(image.get());
    ASSERT_FALSE(changeImageFormat(image.get(), 8, 3));
    for (int i = 0; i < 15; ++i) {
        for (int c = 0; c < 3; ++c)
            ASSERT_EQ(image->data[3 * i + c], gray[std::size_t(i)]);
    }
    ASSERT_FALSE(changeImageFormat(image.get(), 8, 1));
    EXPECT_EQ(imageBytes(image.get()), gray);
}

TEST(ChangeImageFormat, GrayHostImageBecomesThreeChannelEightBit)
{
    OwnedImage image(2, 1, 1, 15);
    setSample(image.get(), 0, 0, 0, 32768);
    setSample(image.get(), 1, 0, 0, 128);
    ASSERT_FALSE(changeImageFormat(image.get(), 8, 3));
    EXPECT_EQ(image->stride, 6);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(sampleAt(image.get(), 0, 0, c), 255);
        EXPECT_EQ(sampleAt(image.get(), 1, 0, c), 1);
    }
}

TEST(ChangeImageFormat, SameFormatGivesAnIdenticalCopy)
{
    OwnedImage image(4, 3, 3, 16);
    fillBytePattern(image.get(), 8);
    const std::vector<std::uint8_t> before = imageBytes(image.get());
    ASSERT_FALSE(changeImageFormat(image.get(), 16, 3));
    EXPECT_EQ(imageBytes(image.get()), before);
}

TEST(ChangeImageFormat, UnsupportedChangesFailAndLeaveTheImageAlone)
{
    struct {
        int channels, bits, toChannels, toBits;
    } const cases[] = {
        {3, 8, 4, 8},
        {4, 16, 3, 16},
        {1, 8, 1, 32},
        {1, 32, 1, 16},
        {1, 64, 1, 8},
        {3, 8, 0, 8},
        {1, 12, 1, 8},
    };
    for (const auto& c : cases) {
        OwnedImage image(3, 2, c.channels, c.bits == 12 ? 16 : c.bits);
        image->bitsPerChannel = c.bits;
        fillBytePattern(image.get(), 1);
        const ImageBuffer before = image.image;
        const std::vector<std::uint8_t> bytes = imageBytes(image.get());
        EXPECT_TRUE(changeImageFormat(image.get(), c.toBits, c.toChannels));
        EXPECT_EQ(image->data, before.data);
        EXPECT_EQ(image->channels, before.channels);
        EXPECT_EQ(image->bitsPerChannel, before.bitsPerChannel);
        EXPECT_EQ(imageBytes(image.get()), bytes);
    }
}

TEST(ExtractChannel, CopiesOneChannelOfEachHandledDepth)
{
    for (int bits : {8, 15, 16, 32}) {
        OwnedImage image(4, 3, 3, bits);
        OwnedImage plane(4, 3, 1, bits);
        fillBytePattern(image.get(), bits);
        ASSERT_FALSE(extractChannel(plane.get(), 2, image.get())) << bits;
        const int bytes = bytesPerSample(bits);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 4; ++x) {
                for (int b = 0; b < bytes; ++b)
                    ASSERT_EQ(plane->data[y * plane->stride + x * bytes + b],
                        image->data[y * image->stride + (3 * x + 2) * bytes + b]);
            }
        }
    }
}

TEST(ExtractAndInsertChannel, MismatchedRecordsFailWithoutWriting)
{
    OwnedImage image(4, 3, 3, 8);
    OwnedImage plane(4, 3, 1, 8);
    OwnedImage narrow(3, 3, 1, 8);
    OwnedImage deep(4, 3, 1, 16);
    OwnedImage twoChannels(4, 3, 2, 8);
    fillImage(image.get(), 1);
    fillImage(plane.get(), 2);
    EXPECT_TRUE(extractChannel(plane.get(), 3, image.get()));
    EXPECT_TRUE(extractChannel(plane.get(), -1, image.get()));
    EXPECT_TRUE(extractChannel(narrow.get(), 0, image.get()));
    EXPECT_TRUE(extractChannel(deep.get(), 0, image.get()));
    EXPECT_TRUE(extractChannel(twoChannels.get(), 0, image.get()));
    EXPECT_TRUE(insertChannel(image.get(), 3, plane.get()));
    EXPECT_TRUE(insertChannel(image.get(), 0, narrow.get()));
    for (std::uint8_t byte : imageBytes(image.get()))
        ASSERT_EQ(byte, 1);
    for (std::uint8_t byte : imageBytes(plane.get()))
        ASSERT_EQ(byte, 2);

    OwnedImage unhandled(2, 2, 1, 64);
    OwnedImage unhandledPlane(2, 2, 1, 64);
    EXPECT_TRUE(extractChannel(unhandledPlane.get(), 0, unhandled.get()));
}

TEST(InsertChannel, WritesOneChannelAndKeepsTheOthers)
{
    for (int bits : {8, 16, 32}) {
        OwnedImage image(3, 2, 3, bits);
        OwnedImage plane(3, 2, 1, bits);
        fillBytePattern(image.get(), 1);
        fillBytePattern(plane.get(), 100);
        const std::vector<std::uint8_t> before = imageBytes(image.get());
        ASSERT_FALSE(insertChannel(image.get(), 1, plane.get())) << bits;
        const int bytes = bytesPerSample(bits);
        for (int i = 0; i < image->dataSize; ++i) {
            const int channel = (i / bytes) % 3;
            const int pixel = i / (3 * bytes);
            const int expected
                = channel == 1 ? plane->data[pixel * bytes + i % bytes] : before[std::size_t(i)];
            ASSERT_EQ(image->data[i], expected) << bits << " byte " << i;
        }
    }
}

TEST(InsertChannel, HostRangeImagesAreRefused)
{
    OwnedImage image(2, 2, 3, 15);
    OwnedImage plane(2, 2, 1, 15);
    EXPECT_TRUE(insertChannel(image.get(), 0, plane.get()));
}

} // namespace
