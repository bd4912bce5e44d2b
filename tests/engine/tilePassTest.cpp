#include "engine/tilePass.h"
#include "engine/kernelPlacement.h"
#include "engine/pointSpread.h"
#include "engine/tilePadding.h"
#include "tests/support/engineTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

namespace {

TEST(TileCanvas, IsTheSmallestPowerOfTwoAroundTheMarginedTile)
{
    const TileCanvas focus = tileCanvas(1500, 1000, false);
    EXPECT_EQ(focus.margin, 200);
    EXPECT_EQ(focus.width, 2048);
    EXPECT_EQ(focus.height, 2048);
    EXPECT_EQ(tileCanvas(1848, 50, false).width, 2048); // padded width exactly 2048
    EXPECT_EQ(tileCanvas(1849, 50, false).width, 4096);
    EXPECT_EQ(tileCanvas(1849, 50, false).height, 256);
    const TileCanvas motion = tileCanvas(1800, 1800, true);
    EXPECT_EQ(motion.margin, 1000);
    EXPECT_EQ(motion.width, 4096);
    EXPECT_EQ(bitCount(0), 0);
    EXPECT_EQ(bitCount(1), 1);
    EXPECT_EQ(bitCount(2047), 11);
    EXPECT_EQ(bitCount(2048), 12);

    // A compact canvas: the same padding on the smallest even product of primes up to 13.
    DeblurParams motionPreview;
    motionPreview.motionMode = true;
    motionPreview.compactCanvas = true;
    const TileCanvas compact = tileCanvasOf(300, 301, motionPreview);
    EXPECT_EQ(compact.margin, 1000);
    EXPECT_EQ(compact.width, 1300); // 2^2 5^2 13
    EXPECT_EQ(compact.height, 1320); // 1301 is prime, 1302 has 31, ... 1320 = 2^3 3 5 11
    motionPreview.compactCanvas = false;
    EXPECT_EQ(tileCanvasOf(300, 301, motionPreview).width, 2048);
}

TEST(TaperMargins, RampsFromTheEdgeToZeroAndKeepsTheEdge)
{
    constexpr int c = 100;
    OwnedImage padded(2 * c + 3, 2 * c + 2, 1, 8);
    clearImage(padded.get());
    for (int y = c; y < c + 2; ++y) {
        setSample(padded.get(), c, y, 0, 200);
        setSample(padded.get(), c + 1, y, 0, 77);
        setSample(padded.get(), c + 2, y, 0, 29);
    }
    taperMargins(padded.get(), c);
    for (int k = 1; k < c; ++k)
        ASSERT_EQ(sampleAt(padded.get(), k, c, 0), 2 * k) << k; // 198, 196, ..., 2
    EXPECT_EQ(sampleAt(padded.get(), 0, c, 0), 0);
    EXPECT_EQ(sampleAt(padded.get(), c, c, 0), 200);
    // The right edge keeps 29 exactly, where 29 / 100 * 100 in floating point would give 28.
    EXPECT_EQ(sampleAt(padded.get(), c + 2, c, 0), 29);
    EXPECT_EQ(sampleAt(padded.get(), c + 2 + 50, c, 0), 14); // trunc(29 / 100 * 50)
    EXPECT_EQ(sampleAt(padded.get(), 2 * c + 2, c, 0), 0);
    // Columns ramp over the whole width, corners included.
    EXPECT_EQ(sampleAt(padded.get(), c + 1, c - 50, 0), 38); // trunc(77 / 100 * 50)
    EXPECT_EQ(sampleAt(padded.get(), c - 50, c - 50, 0), 50); // from the corner value 100
    EXPECT_EQ(sampleAt(padded.get(), c, 0, 0), 0);
    EXPECT_EQ(sampleAt(padded.get(), c, 2 * c + 1, 0), 0);
    EXPECT_EQ(sampleAt(padded.get(), c, c + 1 + 25, 0), 150); // trunc(200 / 100 * 75)
}

TEST(BoxBlur, DividesByTheWindowPixelsInsideTheImage)
{
    OwnedImage source(6, 6, 1, 8);
    OwnedImage target(6, 6, 1, 8);
    fillImage(source.get(), 0);
    setSample(source.get(), 0, 0, 0, 90); // only the corner is lit
    setSample(source.get(), 1, 0, 0, 120);
    ASSERT_FALSE(boxBlur(target.get(), source.get(), 5));
    EXPECT_EQ(sampleAt(target.get(), 0, 0, 0), (90 + 120) / 9); // 3 x 3 window pixels
    EXPECT_EQ(sampleAt(target.get(), 1, 0, 0), (90 + 120) / 12); // 4 x 3
    EXPECT_EQ(sampleAt(target.get(), 3, 0, 0), 120 / 15);
    EXPECT_EQ(sampleAt(target.get(), 4, 0, 0), 0);

    OwnedImage words(7, 5, 1, 16);
    OwnedImage blurred(7, 5, 1, 16);
    fillImage(words.get(), 0xFF); // 65535 everywhere: sums beyond 32 bits must not wrap
    ASSERT_FALSE(boxBlur(blurred.get(), words.get(), 9));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(sampleAt(blurred.get(), x, y, 0), 65535);

    fillImage(target.get(), 5);
    EXPECT_TRUE(boxBlur(target.get(), source.get(), 1));
    EXPECT_EQ(sampleAt(target.get(), 0, 0, 0), 5);
}

TEST(CopyBorderBand, CopiesOnlyTheOuterBand)
{
    OwnedImage target(8, 7, 1, 16);
    OwnedImage source(8, 7, 1, 16);
    fillImage(target.get(), 0);
    fillImage(source.get(), 1);
    copyBorderBand(target.get(), source.get(), 2);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool band = y < 2 || y >= 5 || x < 2 || x >= 6;
            ASSERT_EQ(sampleAt(target.get(), x, y, 0), band ? 0x0101 : 0) << x << "," << y;
        }
    }
}

TEST(KernelPlacement, CentroidGoesToTheOriginAndTheRestWraps)
{
    ImageBuffer kernel {};
    makeImpulseKernel(&kernel, 128, 128, 64, 64);
    std::vector<float> canvas(256 * 256, 0.0f);
    ASSERT_FALSE(placeKernelWrapped(canvas.data(), 256, 256, &kernel));
    EXPECT_EQ(canvas[0], 1.0f);
    releaseImage(&kernel);

    // A 3 x 2 kernel with its weight on (2, 1): the other samples wrap to the far edges.
    ASSERT_EQ(allocateImage(&kernel, 3, 2, 1, 32), 0);
    float* k = reinterpret_cast<float*>(kernel.data);
    const float values[6] = {0.01f, 0.02f, 0.03f, 0.04f, 0.05f, 10.0f};
    std::copy(values, values + 6, k);
    const KernelCentroid centroid = kernelCentroid(&kernel);
    EXPECT_EQ(centroid.x, 2);
    EXPECT_EQ(centroid.y, 1);
    std::vector<float> small(8 * 4, 0.0f);
    ASSERT_FALSE(placeKernelWrapped(small.data(), 8, 4, &kernel));
    EXPECT_EQ(small[0 * 8 + 0], 10.0f); // (2, 1) -> (0, 0)
    EXPECT_EQ(small[0 * 8 + 6], 0.04f); // (0, 1) -> (6, 0)
    EXPECT_EQ(small[3 * 8 + 0], 0.03f); // (2, 0) -> (0, 3)
    EXPECT_EQ(small[3 * 8 + 6], 0.01f); // (0, 0) -> (6, 3)
    EXPECT_EQ(small[3 * 8 + 7], 0.02f);

    // Larger than the canvas: nothing is written.
    std::vector<float> tiny(2 * 2, 0.0f);
    EXPECT_TRUE(placeKernelWrapped(tiny.data(), 2, 2, &kernel));
    EXPECT_EQ(tiny, std::vector<float>(4, 0.0f));
    releaseImage(&kernel);

    ASSERT_EQ(allocateImage(&kernel, 5, 5, 1, 32), 0);
    clearImage(&kernel);
    EXPECT_EQ(kernelCentroid(&kernel).x, 0);
    EXPECT_EQ(kernelCentroid(&kernel).y, 0);
    releaseImage(&kernel);
}

class TilePass : public testing::Test {
protected:
    DeblurParams params;
    ProgressRecord progress;
};

TEST_F(TilePass, IdentityKernelReturnsTheTileUnchanged)
{
    makeImpulseKernel(params.kernel.get(), 128, 128, 64, 64);
    for (int bits : {8, 16}) {
        OwnedImage input(97, 61, 1, bits);
        OwnedImage output(97, 61, 1, bits);
        fillBytePattern(input.get(), bits);
        ASSERT_EQ(deblurTile(output.get(), input.get(), params, progress.sink()), JobDone);
        EXPECT_EQ(imageBytes(output.get()), imageBytes(input.get())) << bits;
    }
}

TEST_F(TilePass, AllZeroKernelGivesABlackTile)
{
    ASSERT_EQ(allocateImage(params.kernel.get(), 16, 16, 1, 32), 0);
    clearImage(params.kernel.get());
    OwnedImage input(60, 60, 1, 8);
    OwnedImage output(60, 60, 1, 8);
    fillImage(input.get(), 100);
    params.power = LowPower;
    ASSERT_EQ(deblurTile(output.get(), input.get(), params, progress.sink()), JobDone);
    for (std::uint8_t byte : imageBytes(output.get()))
        ASSERT_EQ(byte, 0);
}

// The motion preview's compact canvas keeps the job's padding, so its area comes out as on the
// job's power-of-two canvas: the transforms differ only in rounding.
TEST_F(TilePass, ACompactCanvasGivesTheSamePixelsAsThePowerOfTwoOne)
{
    const MotionPoint line[] = {{100, 100, 0}, {135, 112, 0}, {160, 108, 0}};
    params.motionMode = true;
    params.power = HighPower;
    ASSERT_FALSE(buildMotionKernel(&params, line, 3, PreviewMotionSpread));
    OwnedImage blurred(300, 300, 1, 8);
    drawTestScene(blurred.get()); // edges, flats and a gradient: ringing shows any difference
    OwnedImage job(300, 300, 1, 8);
    OwnedImage preview(300, 300, 1, 8);
    ASSERT_EQ(deblurTile(job.get(), blurred.get(), params, progress.sink()), JobDone);
    params.compactCanvas = true;
    ASSERT_EQ(deblurTile(preview.get(), blurred.get(), params, progress.sink()), JobDone);
    int largest = 0;
    for (std::int32_t i = 0; i < job->dataSize; ++i)
        largest = std::max(largest, std::abs(int(job->data[i]) - int(preview->data[i])));
    EXPECT_LE(largest, 1);
    EXPECT_NE(imageBytes(job.get()), imageBytes(blurred.get())); // it did deblur
}

TEST_F(TilePass, RefusesTilesItCannotProcessWithoutWriting)
{
    makeImpulseKernel(params.kernel.get(), 3, 3, 1, 1);
    OwnedImage low(60, 49, 1, 8);
    OwnedImage lowOutput(60, 49, 1, 8);
    OwnedImage colour(60, 60, 3, 8);
    OwnedImage colourOutput(60, 60, 3, 8);
    fillImage(lowOutput.get(), 9);
    EXPECT_EQ(deblurTile(lowOutput.get(), low.get(), params, progress.sink()), JobNotDone);
    EXPECT_EQ(deblurTile(colourOutput.get(), colour.get(), params, progress.sink()), JobNotDone);
    EXPECT_EQ(lowOutput->data[0], 9);

    params.kernel = OwnedImage();
    makeImpulseKernel(params.kernel.get(), 300, 513, 0, 0); // taller than the 512 canvas
    OwnedImage input(60, 60, 1, 8);
    OwnedImage output(60, 60, 1, 8);
    EXPECT_EQ(deblurTile(output.get(), input.get(), params, progress.sink()), JobNotDone);
    EXPECT_EQ(progress.steps, 0);
}

} // namespace
