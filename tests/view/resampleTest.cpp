#include "view/resample.h"

#include "image/imageFormat.h"

#include "tests/support/testImages.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr int Background = 7;

// Source pixel (x, y) holds blue x, green y and red 200, so no pixel equals the background.
void fillCoordinates(ImageBuffer* image)
{
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x) {
            setSample(image, x, y, 0, x & 0xFF);
            setSample(image, x, y, 1, y & 0xFF);
            setSample(image, x, y, 2, 200);
        }
}

bool written(const ImageBuffer* target, int x, int y)
{
    for (int c = 0; c < target->channels; ++c)
        if (sampleAt(target, x, y, c) != Background)
            return true;
    return false;
}

using Resampler = void (*)(ImageBuffer*, const ImageBuffer*, const ViewTransform&);

struct ResamplerCase {
    const char* name;
    Resampler resample;
    double margin;
};

void PrintTo(const ResamplerCase& c, std::ostream* os)
{
    *os << c.name;
}

class BothResamplers : public testing::TestWithParam<ResamplerCase> { };

INSTANTIATE_TEST_SUITE_P(Resample, BothResamplers,
    testing::Values(ResamplerCase {"nearest", resampleNearest, 0.01},
        ResamplerCase {"bilinear", resampleBilinear, 0.51}),
    [](const testing::TestParamInfo<ResamplerCase>& info) { return info.param.name; });

// A pixel is written exactly when its source point is accepted; only pixels near an edge may be
// dropped, where the rounded fixed-point steps have drifted by a hair.
TEST_P(BothResamplers, WritesExactlyThePixelsThatMapInsideTheImage)
{
    const double m = GetParam().margin;
    OwnedImage source(37, 23, 3, 8);
    fillCoordinates(source.get());
    const ViewTransform transforms[] = {
        viewTransformFor({50.3, 40.7, 18.5, 11.5, 1.0}),
        viewTransformFor({50.3, 40.7, 18.5, 11.5, 0.37}),
        viewTransformFor({50.3, 40.7, 18.5, 11.5, 2.6}),
        setViewTransform(50.3, 40.7, 18.5, 11.5, 30, 1.7),
        setViewTransform(50.3, 40.7, 18.5, 11.5, 180, 1.3),
        setViewTransform(50.3, 40.7, 18.5, 11.5, -115, 0.9),
    };
    for (const ViewTransform& transform : transforms) {
        OwnedImage target(101, 83, 3, 8);
        fillImage(target.get(), Background);
        GetParam().resample(target.get(), source.get(), transform);
        int drawn = 0;
        for (int y = 0; y < target->height; ++y)
            for (int x = 0; x < target->width; ++x) {
                double sx;
                double sy;
                windowToImage(transform, x, y, &sx, &sy);
                const double edge = std::min({sx - m, 37 - m - sx, sy - m, 23 - m - sy});
                if (written(target.get(), x, y)) {
                    ++drawn;
                    EXPECT_GE(edge, -1e-9) << x << ", " << y;
                } else {
                    EXPECT_LT(edge, 0.05) << x << ", " << y;
                }
            }
        EXPECT_GT(drawn, 100);
    }
}

TEST_P(BothResamplers, ZoomOneLeavesColumnAndRowZeroAtTheBackground)
{
    OwnedImage source(12, 9, 3, 8);
    fillCoordinates(source.get());
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 12; ++x)
            setSample(source.get(), x, y, 0, 3 * x);
    OwnedImage target(15, 11, 3, 8);
    fillImage(target.get(), Background);
    GetParam().resample(target.get(), source.get(), viewTransformFor({5, 4, 5, 4, 1}));
    const bool bilinear = GetParam().margin > 0.5;
    for (int y = 0; y < target->height; ++y)
        for (int x = 0; x < target->width; ++x) {
            const bool inside = x >= 1 && y >= 1 && x < 12 && y < 9;
            ASSERT_EQ(written(target.get(), x, y), inside) << x << ", " << y;
            if (!inside)
                continue;
            // Bilinear sits half-way between pixels k - 1 and k and rounds the mean up, as
            // (10 * 32768 + 11 * 32768 + 32768) >> 16 gives 11.
            EXPECT_EQ(sampleAt(target.get(), x, y, 0), bilinear ? 3 * x - 1 : 3 * x);
            EXPECT_EQ(sampleAt(target.get(), x, y, 1), y);
            EXPECT_EQ(sampleAt(target.get(), x, y, 2), 200);
        }
}

// Views that are not turned blend each source row once into a buffer and reuse it; runs longer
// than the buffers, and turned views, go pixel by pixel. Both must give the same bytes, and each
// channel must come out as it would alone.
TEST(ResampleBilinear, RowBuffersMatchPixelByPixelAndChannelsStayApart)
{
    OwnedImage source(2200, 300, 3, 8);
    fillBytePattern(source.get(), 11);
    for (double zoom : {1.9, 1.0, 0.53}) {
        const ViewTransform transform = setViewTransform(0, 0, 1.37, 2.71, 0, zoom);
        OwnedImage buffered(4000, 120, 3, 8);
        OwnedImage direct(4100, 120, 3, 8); // one run of 4100 pixels: past the row buffers
        fillImage(buffered.get(), Background);
        fillImage(direct.get(), Background);
        resampleBilinear(buffered.get(), source.get(), transform);
        resampleBilinear(direct.get(), source.get(), transform);
        int differing = 0;
        for (int y = 0; y < 120; ++y)
            differing += std::memcmp(buffered->data + y * buffered->stride,
                direct->data + y * direct->stride, std::size_t(buffered->stride));
        EXPECT_EQ(differing, 0) << zoom;

        for (int channel = 0; channel < 3; ++channel) {
            OwnedImage plane(2200, 300, 1, 8);
            OwnedImage alone(4000, 120, 1, 8);
            ASSERT_FALSE(extractChannel(plane.get(), channel, source.get()));
            fillImage(alone.get(), Background);
            resampleBilinear(alone.get(), plane.get(), transform);
            int wrong = 0;
            for (int y = 0; y < 120; ++y)
                for (int x = 0; x < 4000; ++x)
                    wrong += sampleAt(alone.get(), x, y, 0)
                        != sampleAt(buffered.get(), x, y, channel);
            EXPECT_EQ(wrong, 0) << zoom << ", channel " << channel;
        }
    }
}

TEST(ResampleNearest, ZoomTwoCoversTwoByTwo)
{
    OwnedImage source(5, 4, 3, 8);
    fillCoordinates(source.get());
    OwnedImage target(10, 8, 3, 8);
    fillImage(target.get(), Background);
    resampleNearest(target.get(), source.get(), setViewTransform(0, 0, 0.25, 0.25, 0, 2));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) {
            EXPECT_EQ(sampleAt(target.get(), x, y, 0), x / 2) << x << ", " << y;
            EXPECT_EQ(sampleAt(target.get(), x, y, 1), y / 2) << x << ", " << y;
        }
}

TEST(ResampleBilinear, SourcesOnePixelWideOrHighAreDrawnAsNearest)
{
    const ViewTransform transform = viewTransformFor({6, 6, 0.5, 0.5, 1.7});
    for (const ImageSize size : {ImageSize {1, 7}, ImageSize {7, 1}, ImageSize {1, 1}}) {
        OwnedImage source(size.width, size.height, 3, 8);
        fillCoordinates(source.get());
        OwnedImage nearest(13, 13, 3, 8);
        OwnedImage bilinear(13, 13, 3, 8);
        fillImage(nearest.get(), Background);
        fillImage(bilinear.get(), Background);
        resampleNearest(nearest.get(), source.get(), transform);
        resampleBilinear(bilinear.get(), source.get(), transform);
        EXPECT_EQ(imageBytes(bilinear.get()), imageBytes(nearest.get()));
        EXPECT_TRUE(written(bilinear.get(), 6, 6));
    }
}

TEST(Resample, OtherFormatsLeaveTheTargetUntouched)
{
    OwnedImage source(8, 8, 3, 8);
    fillCoordinates(source.get());
    OwnedImage gray(8, 8, 1, 8);
    const ViewTransform transform = viewTransformFor({4, 4, 4, 4, 1});
    struct {
        int channels, bits;
        const ImageBuffer* source;
    } const cases[]
        = {{4, 8, source.get()}, {3, 16, source.get()}, {1, 8, source.get()}, {3, 8, gray.get()}};
    for (const auto& c : cases) {
        OwnedImage target(8, 8, c.channels, c.bits);
        fillBytePattern(target.get(), 3);
        const std::vector<std::uint8_t> before = imageBytes(target.get());
        resampleNearest(target.get(), c.source, transform);
        resampleBilinear(target.get(), c.source, transform);
        EXPECT_EQ(imageBytes(target.get()), before) << c.channels << " x " << c.bits;
    }
}

// Zoom without bounds made the 16.16 conversion overflow. Far out, the step no longer fits and
// nothing is drawn; close up, the whole window shows one source pixel.
TEST_P(BothResamplers, ExtremeZoomsStaySafe)
{
    OwnedImage source(11, 7, 3, 8);
    fillCoordinates(source.get());
    for (double zoom : {1e-6, 1e-300, -1e-6, 0.0, 1e6, -1e6, 1e300}) {
        OwnedImage target(300, 200, 3, 8);
        fillImage(target.get(), Background);
        GetParam().resample(
            target.get(), source.get(), viewTransformFor({150, 100, 5.5, 3.5, zoom}));
        if (std::fabs(zoom) < 1) {
            EXPECT_FALSE(written(target.get(), 150, 100)) << zoom;
            continue;
        }
        for (int y = 0; y < 200; y += 7)
            for (int x = 0; x < 300; x += 7) {
                ASSERT_TRUE(written(target.get(), x, y)) << zoom;
                EXPECT_NEAR(sampleAt(target.get(), x, y, 0), 5, 1) << zoom;
                EXPECT_NEAR(sampleAt(target.get(), x, y, 1), 3, 1) << zoom;
            }
    }
}

// A source column beyond 32767 has no 16.16 value in 32 bits: rows that would reach one are
// left out whole, rows that stay below are drawn.
TEST_P(BothResamplers, RowsBeyondTheFixedPointRangeAreLeftOut)
{
    OwnedImage source(40000, 3, 1, 8);
    fillImage(source.get(), 90);
    for (double imageX : {38000.0, 32000.0, 100.0}) {
        OwnedImage target(3000, 2, 1, 8);
        fillImage(target.get(), Background);
        GetParam().resample(target.get(), source.get(), setViewTransform(0, 0, imageX, 1.5, 0, 1));
        EXPECT_EQ(sampleAt(target.get(), 1500, 0, 0), imageX < 30000 ? 90 : Background) << imageX;
    }
}

// Source rows tagged in blue (40, 100, 160, 220), column in green (low) and red (high). Test
// sources are allocated to exactly their size, so an over-read leaves the block.
void fillTagged(ImageBuffer* source)
{
    for (int y = 0; y < source->height; ++y)
        for (int x = 0; x < source->width; ++x) {
            setSample(source, x, y, 0, 40 + 60 * (y % 4));
            setSample(source, x, y, 1, x & 0xFF);
            setSample(source, x, y, 2, x >> 8);
        }
}

// Rounding the 16.16 step let long rows run one column past the source's last pixel, into the
// next row and, on the last row, past the block. Blue is constant along each source row, so a
// read from another row shows in it.
TEST_P(BothResamplers, LastColumnStaysInsideItsRow)
{
    OwnedImage source(1900, 4, 3, 8);
    fillTagged(source.get());
    OwnedImage target(3000, 6, 3, 8);
    fillImage(target.get(), Background);
    const double imageX = GetParam().margin > 0.5 ? -33.84533333333334 : -33.34533333333334;
    GetParam().resample(target.get(), source.get(), setViewTransform(0, 0, imageX, 1.5, 0, 1.5));
    for (int y = 0; y < 6; ++y) {
        int rowBlue = -1;
        for (int x = 0; x < 3000; ++x) {
            const int blue = sampleAt(target.get(), x, y, 0);
            if (blue == Background)
                continue;
            if (rowBlue < 0)
                rowBlue = blue;
            ASSERT_EQ(blue, rowBlue) << x << ", " << y;
        }
    }
    EXPECT_TRUE(written(target.get(), 2899, 2)); // the columns before still show
}

// The same drift along x and, turned a quarter, along y; and turned half-way, where the steps
// round the other way. Fit-like views of the last (or first) source row or column over many
// offsets, each source of exactly its size, for AddressSanitizer to watch.
TEST_P(BothResamplers, NoOffsetReadsOutsideTheSource)
{
    OwnedImage wide(1900, 4, 3, 8);
    OwnedImage tall(4, 1900, 3, 8);
    fillTagged(wide.get());
    fillTagged(tall.get());
    const double edge = GetParam().margin > 0.5 ? 3.2 : 3.5;
    for (int step = 0; step < 1500; ++step) {
        const double offset = -33.0 - step * 0.000937;
        const struct {
            const ImageBuffer* source;
            ViewTransform transform;
        } views[] = {
            {wide.get(), setViewTransform(0, 0, offset, edge, 0, 1.5)},
            {wide.get(), setViewTransform(0, 0, 1900 - offset, 4 - edge, 180, 1.5)},
            {tall.get(), setViewTransform(0, 0, edge, offset, 90, 1.5)},
        };
        for (const auto& view : views) {
            OwnedImage target(3000, 1, 3, 8);
            fillImage(target.get(), Background);
            GetParam().resample(target.get(), view.source, view.transform);
            int drawn = 0;
            for (int x = 0; x < 3000; ++x)
                drawn += written(target.get(), x, 0);
            ASSERT_GT(drawn, 2800) << offset;
        }
    }
}

} // namespace
