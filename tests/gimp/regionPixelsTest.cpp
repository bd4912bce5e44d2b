#include "gimp/regionPixels.h"
#include "tests/support/testImages.h"

#include <gtest/gtest.h>

namespace {

// A region of `components` samples a pixel, filled with a pattern that tells them apart.
OwnedImage region(int components, int bits)
{
    OwnedImage image(7, 5, components, bits);
    EXPECT_NE(image->data, nullptr);
    fillBytePattern(image.get(), components * 3 + bits);
    return image;
}

TEST(RegionPixels, EngineGetsColourInBlueGreenRedOrderAndGivesItBackAroundAlpha)
{
    for (const int bits : {8, 16}) {
        for (const int components : {1, 2, 3, 4}) {
            const bool alpha = components % 2 == 0;
            OwnedImage pixels = region(components, bits);
            OwnedImage colour;
            ASSERT_FALSE(engineColourOf(pixels.image, alpha, &colour));
            const int colours = alpha ? components - 1 : components;
            ASSERT_EQ(colour->channels, colours);
            ASSERT_EQ(colour->bitsPerChannel, bits);
            for (int c = 0; c < colours; ++c)
                EXPECT_EQ(sampleAt(colour.get(), 3, 2, colours == 3 ? 2 - c : c),
                    sampleAt(pixels.get(), 3, 2, c));
            // Inverted colour goes back; alpha samples stay as they were.
            OwnedImage original = region(components, bits);
            const int top = bits == 8 ? 255 : 65535;
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 7; ++x)
                    for (int c = 0; c < colours; ++c)
                        setSample(colour.get(), x, y, c, top - sampleAt(colour.get(), x, y, c));
            putEngineColour(pixels.get(), alpha, colour.image);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 7; ++x) {
                    for (int c = 0; c < colours; ++c)
                        ASSERT_EQ(sampleAt(pixels.get(), x, y, c),
                            top - sampleAt(original.get(), x, y, c));
                    if (alpha) {
                        ASSERT_EQ(sampleAt(pixels.get(), x, y, components - 1),
                            sampleAt(original.get(), x, y, components - 1));
                    }
                }
        }
    }
}

TEST(RegionPixels, HostDocumentTakes16BitsThroughItsRangeAndBackExactlyForHostLevels)
{
    OwnedImage pixels(3, 1, 4, 16); // R'G'B'A
    const int values[] = {0, 1, 2, 32767, 32768, 65534, 65535, fileOfHost16(12345)};
    for (int i = 0; i < 12; ++i)
        setSample(pixels.get(), i / 4, 0, i % 4, values[i % 8]);
    OwnedImage original(3, 1, 4, 16);
    copyImagePixels(original.get(), pixels.get());
    HostImage document;
    ASSERT_FALSE(hostImageOf(pixels.image, &document));
    ASSERT_EQ(document.planes, 4);
    ASSERT_EQ(document.depth, 16);
    EXPECT_EQ(hostSample(document, 1, 0, 2), HostWhite16); // 65535
    EXPECT_EQ(hostSample(document, 0, 0, 1), 1); // 1 rounds up to the first level
    // The module changes the alpha plane; the region's alpha must not follow.
    setHostSample(&document, 0, 0, 3, 0);
    putHostColour(pixels.get(), true, document);
    for (int x = 0; x < 3; ++x)
        for (int c = 0; c < 4; ++c) {
            const int before = sampleAt(original.get(), x, 0, c);
            const int after = sampleAt(pixels.get(), x, 0, c);
            if (c == 3 || before == fileOfHost16(hostOfFile16(before)))
                EXPECT_EQ(after, before) << x << "," << c;
            else
                EXPECT_LE(std::abs(after - before), 1) << x << "," << c;
        }
}

TEST(RegionPixels, HostDocumentTakes8BitsAsTheyAre)
{
    OwnedImage pixels = region(2, 8); // Y'A
    HostImage document;
    ASSERT_FALSE(hostImageOf(pixels.image, &document));
    ASSERT_EQ(document.depth, 8);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            for (int c = 0; c < 2; ++c)
                ASSERT_EQ(hostSample(document, x, y, c), sampleAt(pixels.get(), x, y, c));
}

} // namespace
