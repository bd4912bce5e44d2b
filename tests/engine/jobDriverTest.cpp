#include "engine/colourPlanes.h"
#include "engine/deconvolution.h"
#include "tests/support/engineTestSupport.h"

#include <gtest/gtest.h>

namespace {

bool operator==(const ImageRect& a, const ImageRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(TileGrid, SplitsIntoEqualNominalTilesWithContextAndOverlap)
{
    const TileGrid grid = tileGrid(3000, 2000);
    EXPECT_EQ(grid.columns, 2);
    EXPECT_EQ(grid.rows, 2);
    EXPECT_EQ(grid.tileWidth, 1500);
    EXPECT_EQ(grid.tileHeight, 1000);
    EXPECT_TRUE((tileReadRect(grid, 1, 1, 3000, 2000) == ImageRect {1350, 850, 3000, 2000}));
    EXPECT_TRUE((tileWriteRect(grid, 1, 1, 3000, 2000) == ImageRect {1425, 925, 3000, 2000}));
    EXPECT_TRUE((tileReadRect(grid, 0, 0, 3000, 2000) == ImageRect {0, 0, 1650, 1150}));
    EXPECT_TRUE((tileWriteRect(grid, 0, 1, 3000, 2000) == ImageRect {0, 925, 1575, 2000}));

    const TileGrid single = tileGrid(1500, 1500);
    EXPECT_EQ(single.columns * single.rows, 1);
    EXPECT_TRUE((tileReadRect(single, 0, 0, 1500, 1500) == ImageRect {0, 0, 1500, 1500}));

    const TileGrid uneven = tileGrid(3001, 1501); // 3 x 2 tiles of 1001 x 751
    EXPECT_EQ(uneven.columns, 3);
    EXPECT_EQ(uneven.tileWidth, 1001);
    EXPECT_EQ(uneven.tileHeight, 751);
    EXPECT_TRUE((tileWriteRect(uneven, 2, 1, 3001, 1501) == ImageRect {1927, 676, 3001, 1501}));
}

TEST(ProgressRange, CountsTilesOfTheModesNominalEdgeTimesStepsPerTile)
{
    DeblurParams params;
    params.method = ProgressiveMethod;
    params.power = HighPower;
    EXPECT_EQ(progressiveSteps(HighPower), 65);
    EXPECT_EQ(progressMaximum(3000, 2000, params), 263);
    params.method = SmoothingMethod;
    params.power = MediumPower;
    EXPECT_EQ(smoothingSteps(MediumPower), 61);
    EXPECT_EQ(progressMaximum(3000, 2000, params), 4 * 61 + 4);
    params.motionMode = true; // counts 2800-pixel tiles: one, while two are processed
    EXPECT_EQ(progressMaximum(2500, 1000, params), 61 + 4);
    params.motionMode = false;
    params.importedKernel = true;
    EXPECT_EQ(progressMaximum(2500, 1000, params), 61 + 4);
    params.method = 7;
    EXPECT_EQ(progressMaximum(2500, 1000, params), 0);
}

TEST(ColourPlanes, ConvertsWithTheLumaAndChromaWeights)
{
    OwnedImage rgb(2, 1, 3, 8);
    OwnedImage planes(2, 1, 3, 8);
    const int pixels[2][3] = {{0, 0, 255}, {10, 200, 30}}; // blue, green, red
    for (int x = 0; x < 2; ++x)
        for (int c = 0; c < 3; ++c)
            setSample(rgb.get(), x, 0, c, pixels[x][c]);
    ASSERT_FALSE(rgbToLumaChroma(planes.get(), rgb.get()));
    EXPECT_EQ(sampleAt(planes.get(), 0, 0, 0), 76);
    EXPECT_EQ(sampleAt(planes.get(), 0, 0, 1), 255); // 255.6, clamped
    EXPECT_EQ(sampleAt(planes.get(), 0, 0, 2), 85);
    // Y = trunc(0.299 * 30 + 0.587 * 200 + 0.114 * 10 + 0.5) = trunc(128.01)
    EXPECT_EQ(sampleAt(planes.get(), 1, 0, 0), 128);
    EXPECT_EQ(sampleAt(planes.get(), 1, 0, 1), 58); // trunc(0.713 * (30 - 128) + 128)
    EXPECT_EQ(sampleAt(planes.get(), 1, 0, 2), 61); // trunc(0.564 * (10 - 128) + 128)

    OwnedImage back(2, 1, 3, 8);
    ASSERT_FALSE(lumaChromaToRgb(back.get(), planes.get()));
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(sampleAt(back.get(), 1, 0, c), pixels[1][c], 2) << c;
}

TEST(ColourPlanes, SixteenBitRoundTripStaysClose)
{
    OwnedImage rgb(16, 16, 3, 16);
    OwnedImage planes(16, 16, 3, 16);
    OwnedImage back(16, 16, 3, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            for (int c = 0; c < 3; ++c)
                setSample(rgb.get(), x, y, c, (x * 4001 + y * 2999 + c * 17011) % 65536);
    ASSERT_FALSE(rgbToLumaChroma(planes.get(), rgb.get()));
    ASSERT_FALSE(lumaChromaToRgb(back.get(), planes.get()));
    // Chroma beyond the sample range is clamped, so only pixels whose chroma fits come back
    // nearly exact: within the truncations of the three planes, weighted by the inverse.
    int worst = 0;
    int checked = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const double blue = sampleAt(rgb.get(), x, y, 0);
            const double green = sampleAt(rgb.get(), x, y, 1);
            const double red = sampleAt(rgb.get(), x, y, 2);
            const double luma = 0.299 * red + 0.587 * green + 0.114 * blue;
            const double cr = 0.713 * (red - luma) + 32768;
            const double cb = 0.564 * (blue - luma) + 32768;
            if (cr < 0 || cr > 65535 || cb < 0 || cb > 65535)
                continue;
            ++checked;
            for (int c = 0; c < 3; ++c)
                worst = std::max(
                    worst, std::abs(sampleAt(rgb.get(), x, y, c) - sampleAt(back.get(), x, y, c)));
        }
    }
    EXPECT_GT(checked, 64);
    EXPECT_LE(worst, 4);
    setSample(rgb.get(), 0, 0, 0, 30000);
    setSample(rgb.get(), 0, 0, 1, 31000);
    setSample(rgb.get(), 0, 0, 2, 32000);
    ASSERT_FALSE(rgbToLumaChroma(planes.get(), rgb.get()));
    ASSERT_FALSE(lumaChromaToRgb(back.get(), planes.get()));
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(sampleAt(back.get(), 0, 0, c), sampleAt(rgb.get(), 0, 0, c), 40);
}

TEST(ColourPlanes, RefusesRecordsOfOtherFormats)
{
    OwnedImage rgb(2, 2, 3, 8);
    OwnedImage gray(2, 2, 1, 8);
    OwnedImage deep(2, 2, 3, 16);
    EXPECT_TRUE(rgbToLumaChroma(gray.get(), rgb.get()));
    EXPECT_TRUE(rgbToLumaChroma(deep.get(), rgb.get()));
    EXPECT_TRUE(lumaChromaToRgb(rgb.get(), gray.get()));
}

class DeblurJob : public testing::Test {
protected:
    void SetUp() override { makeImpulseKernel(params.kernel.get(), 9, 9, 4, 4); }
    DeblurParams params;
};

TEST_F(DeblurJob, TargetSmallerThanSourceIsRefusedWithoutProgress)
{
    OwnedImage source(120, 80, 1, 8);
    OwnedImage target(120, 79, 1, 8);
    fillImage(target.get(), 7);
    ProgressRecord progress;
    EXPECT_EQ(runDeblurJob(target.get(), source.get(), params, progress.sink()), JobNotDone);
    EXPECT_EQ(progress.maximum, -1);
    EXPECT_EQ(progress.position, -1);
    EXPECT_EQ(target->data[0], 7);

    OwnedImage deep(120, 80, 1, 16);
    EXPECT_EQ(runDeblurJob(deep.get(), source.get(), params, progress.sink()), JobNotDone);
}

TEST_F(DeblurJob, IdentityKernelLeavesAGrayImageUnchangedAcrossTileSeams)
{
    // Two tile columns; the seam at x = 1600 lies in both tiles' context.
    OwnedImage source(1800, 60, 1, 8);
    OwnedImage target(1800, 60, 1, 8);
    fillBytePattern(source.get(), 3);
    params.power = LowPower;
    ProgressRecord progress;
    JobReport report;
    ASSERT_EQ(runDeblurJob(target.get(), source.get(), params, progress.sink(), &report), JobDone);
    EXPECT_EQ(report.tiles, 2);
    EXPECT_EQ(report.tilesNotDone, 0);
    EXPECT_EQ(imageBytes(target.get()), imageBytes(source.get()));
    EXPECT_EQ(progress.maximum, 2 * progressiveSteps(LowPower) + 3);
    EXPECT_EQ(progress.position, 1);
    EXPECT_EQ(progress.steps, 2 * progressiveSteps(LowPower));
}

// With a real kernel, the pixels beside a seam between two tiles come out as a single tile
// around the seam gives them: each tile reads enough context that the seam does not show.
TEST_F(DeblurJob, TileSeamsDoNotShowWithARealKernel)
{
    OwnedImage scene(1800, 120, 1, 8);
    OwnedImage blurred(1800, 120, 1, 8);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 1800; ++x)
            setSample(scene.get(), x, y, 0, 60 + ((x / 37 + y / 23) % 2) * 120 + (x % 50));
    ASSERT_FALSE(buildDefocusKernel(&params, defocusSpread(DefaultDetail)));
    blurScene(blurred.get(), scene.get(), params.kernel.get(), 24, 0);

    OwnedImage whole(1800, 120, 1, 8);
    JobReport report;
    ASSERT_EQ(runDeblurJob(whole.get(), blurred.get(), params, ProgressSink {}, &report), JobDone);
    ASSERT_EQ(report.tiles, 2);
    ASSERT_EQ(report.tilesNotDone, 0);

    // One tile over the seam's surroundings, far enough on both sides for its own borders not
    // to reach the compared band.
    const ImageRect first = tileWriteRect(tileGrid(1800, 120), 0, 0, 1800, 120);
    const int left = first.right - 400;
    OwnedImage crop(800, 120, 1, 8);
    copyImageRect(crop.get(), blurred.get(), {0, 0}, {left, 0}, {800, 120});
    OwnedImage single(800, 120, 1, 8);
    ASSERT_EQ(runDeblurJob(single.get(), crop.get(), params, ProgressSink {}, &report), JobDone);
    ASSERT_EQ(report.tiles, 1);

    int worst = 0;
    for (int y = 30; y < 90; ++y)
        for (int x = first.right - 100; x < first.right + 100; ++x)
            worst = std::max(worst,
                std::abs(sampleAt(whole.get(), x, y, 0) - sampleAt(single.get(), x - left, y, 0)));
    EXPECT_LE(worst, 2) << "around the seam at x = " << first.right;
}

TEST_F(DeblurJob, ColourImageKeepsItsColoursWithTheIdentityKernel)
{
    OwnedImage source(90, 70, 3, 16);
    OwnedImage target(100, 70, 3, 16);
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 90; ++x)
            for (int c = 0; c < 3; ++c)
                setSample(source.get(), x, y, c, 20000 + 300 * x + 200 * y + 5000 * c);
    params.method = SmoothingMethod;
    params.power = LowPower;
    ProgressRecord progress;
    ASSERT_EQ(runDeblurJob(target.get(), source.get(), params, progress.sink()), JobDone);
    EXPECT_EQ(progress.steps, smoothingSteps(LowPower));
    EXPECT_EQ(progress.maximum, smoothingSteps(LowPower) + 4);
    for (int y = 0; y < 70; y += 7)
        for (int x = 0; x < 90; x += 9)
            for (int c = 0; c < 3; ++c)
                ASSERT_NEAR(sampleAt(target.get(), x, y, c), sampleAt(source.get(), x, y, c), 700)
                    << x << "," << y << "," << c;
}

TEST_F(DeblurJob, AbortStopsAtTheNextPollAndLeavesAColourTargetUntouched)
{
    OwnedImage source(80, 60, 3, 8);
    OwnedImage target(80, 60, 3, 8);
    fillBytePattern(source.get(), 1);
    fillImage(target.get(), 0x33);
    ProgressRecord progress;
    AbortFlag stop {0};
    params.abort = &stop;
    progress.onStep = [&stop](int steps) {
        if (steps == 14) // the end of the fourth iteration
            requestAbort(stop);
    };
    EXPECT_EQ(runDeblurJob(target.get(), source.get(), params, progress.sink()), JobAborted);
    EXPECT_EQ(progress.steps, 14);
    for (std::uint8_t byte : imageBytes(target.get()))
        ASSERT_EQ(byte, 0x33);
}

TEST_F(DeblurJob, TilesThatCannotRunAreCopiedThroughAndReported)
{
    // A kernel wider than the tile's canvas (512 for this tile) cannot be laid out on it.
    params.kernel = OwnedImage();
    makeImpulseKernel(params.kernel.get(), 600, 10, 300, 5);
    params.importedKernel = true;
    OwnedImage source(200, 100, 1, 8);
    OwnedImage target(200, 100, 1, 8);
    fillBytePattern(source.get(), 9);
    JobReport report;
    ProgressRecord progress;
    EXPECT_EQ(runDeblurJob(target.get(), source.get(), params, progress.sink(), &report), JobDone);
    EXPECT_EQ(report.tilesNotDone, 1);
    EXPECT_EQ(imageBytes(target.get()), imageBytes(source.get()));

    OwnedImage tiny(40, 30, 1, 8); // under the 50-pixel minimum of a tile
    OwnedImage tinyTarget(40, 30, 1, 8);
    fillBytePattern(tiny.get(), 2);
    EXPECT_EQ(
        runDeblurJob(tinyTarget.get(), tiny.get(), params, progress.sink(), &report), JobDone);
    EXPECT_EQ(report.tilesNotDone, 1);
    EXPECT_EQ(imageBytes(tinyTarget.get()), imageBytes(tiny.get()));
}

} // namespace
