#include "engine/kernelPlacement.h"
#include "tests/support/engineTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

float kernelAt(const ImageBuffer& kernel, int x, int y)
{
    return reinterpret_cast<const float*>(kernel.data + std::int64_t(y) * kernel.stride)[x];
}

double kernelSum(const ImageBuffer& kernel)
{
    double sum = 0.0;
    for (int y = 0; y < kernel.height; ++y)
        for (int x = 0; x < kernel.width; ++x)
            sum += kernelAt(kernel, x, y);
    return sum;
}

struct KernelGuard {
    DeblurParams params;
};

TEST(DefocusKernel, IsANormalisedSpotPeakingAtItsCentre)
{
    KernelGuard guard;
    ASSERT_FALSE(buildDefocusKernel(&guard.params, defocusSpread(12)));
    const ImageBuffer& kernel = guard.params.kernel.image;
    EXPECT_EQ(kernel.width, 128);
    EXPECT_EQ(kernel.height, 128);
    EXPECT_EQ(kernel.bitsPerChannel, 32);
    EXPECT_NEAR(kernelSum(kernel), 1.0, 1e-5);
    const float peak = kernelAt(kernel, 64, 64);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            if (x != 64 || y != 64) {
                ASSERT_LT(kernelAt(kernel, x, y), peak);
            }
        }
    }
    // Radially symmetric, decaying with the distance itself: e^(-r / (2 s^2)) with s = 0.6.
    EXPECT_FLOAT_EQ(kernelAt(kernel, 65, 64), kernelAt(kernel, 64, 63));
    EXPECT_NEAR(kernelAt(kernel, 66, 64) / peak, std::pow(2.7182818, -2.0 / 0.72), 1e-5);

    ASSERT_FALSE(buildDefocusKernel(&guard.params, defocusSpread(50)));
    EXPECT_LT(kernelAt(guard.params.kernel.image, 64, 64), peak); // a wider spot, a lower peak
}

TEST(MotionKernel, TwoPointsGiveAStraightRunConvolvedWithTheSpot)
{
    KernelGuard guard;
    const MotionPoint points[2] = {{100.0, 100.0, 0}, {110.0, 100.0, 0}};
    ASSERT_FALSE(buildMotionKernel(&guard.params, points, 2, JobMotionSpread));
    const ImageBuffer& kernel = guard.params.kernel.image;
    EXPECT_EQ(kernel.width, 512); // the line image is 266 x 256
    EXPECT_EQ(kernel.height, 256);
    EXPECT_NEAR(kernelSum(kernel), 1.0, 1e-4);
    const KernelCentroid centroid = kernelCentroid(&kernel);
    EXPECT_EQ(centroid.x, 133); // the run covers x 128 .. 138 on row 128
    EXPECT_EQ(centroid.y, 128);
    // Even along the run, falling off across it.
    EXPECT_NEAR(kernelAt(kernel, 133, 128), kernelAt(kernel, 130, 128), 0.002);
    EXPECT_FLOAT_EQ(kernelAt(kernel, 133, 126), kernelAt(kernel, 133, 130));
    EXPECT_GT(kernelAt(kernel, 133, 128), 5 * kernelAt(kernel, 133, 131));
    EXPECT_LT(kernelAt(kernel, 150, 128), 1e-4f);
}

TEST(MotionCurve, PassesThroughItsPointsAndStaysInsideTheImage)
{
    OwnedImage line(266, 256, 1, 8);
    clearImage(line.get());
    const MotionPoint straight[2] = {{128.0, 128.0, 0}, {138.0, 128.0, 0}};
    drawMotionCurve(line.get(), straight, 2);
    int lit = 0;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 266; ++x) {
            const int value = sampleAt(line.get(), x, y, 0);
            if (value) {
                ASSERT_EQ(value, 255);
                ASSERT_EQ(y, 128);
                ASSERT_TRUE(x >= 128 && x <= 138);
                ++lit;
            }
        }
    }
    EXPECT_EQ(lit, 11);

    clearImage(line.get());
    const MotionPoint inARow[3] = {{20.0, 30.0, 0}, {50.0, 60.0, 0}, {80.0, 90.0, 0}};
    drawMotionCurve(line.get(), inARow, 3);
    for (int t = 20; t <= 80; ++t)
        ASSERT_EQ(sampleAt(line.get(), t, t + 10, 0), 255) << t;

    // A curve running off the image, and an S-bend, draw only inside and stay 8-connected.
    clearImage(line.get());
    const MotionPoint outside[4]
        = {{-40.0, 10.0, 0}, {100.0, 5.0, 0}, {150.0, 200.0, 0}, {400.0, 300.0, 0}};
    drawMotionCurve(line.get(), outside, 4);
    EXPECT_EQ(sampleAt(line.get(), 100, 5, 0), 255);
    EXPECT_EQ(sampleAt(line.get(), 150, 200, 0), 255);
}

TEST(KernelBuilders, ImportedKernelIsKeptAndFailuresKeepTheKernel)
{
    KernelGuard guard;
    makeImpulseKernel(guard.params.kernel.get(), 5, 3, 1, 1);
    const std::uint8_t* block = guard.params.kernel->data;
    guard.params.importedKernel = true;
    const MotionPoint points[2] = {{0.0, 0.0, 0}, {30.0, 0.0, 0}};
    EXPECT_FALSE(buildDefocusKernel(&guard.params, 0.6));
    EXPECT_FALSE(buildMotionKernel(&guard.params, points, 2, 0.7));
    EXPECT_FALSE(buildMotionKernel(&guard.params, points, 0, 0.7));
    EXPECT_EQ(guard.params.kernel->data, block);
    EXPECT_EQ(guard.params.kernel->width, 5);

    guard.params.importedKernel = false;
    EXPECT_TRUE(buildMotionKernel(&guard.params, points, 1, 0.7));
    const MotionPoint far[2] = {{0.0, 0.0, 0}, {20000.0, 0.0, 0}};
    EXPECT_TRUE(buildMotionKernel(&guard.params, far, 2, 0.7));
    const AbortFlag stopped {1};
    guard.params.abort = &stopped;
    EXPECT_TRUE(buildMotionKernel(&guard.params, points, 2, 0.7));
    EXPECT_EQ(guard.params.kernel->data, block);
}

TEST(KernelFromImage, NormalisesThePictureAndRefusesAnAllBlackOne)
{
    OwnedImage picture(4, 2, 1, 8);
    clearImage(picture.get());
    setSample(picture.get(), 1, 0, 0, 30);
    setSample(picture.get(), 2, 1, 0, 90);
    ImageBuffer kernel {};
    ASSERT_FALSE(kernelFromImage(&kernel, picture.get()));
    EXPECT_EQ(kernel.width, 4);
    EXPECT_EQ(kernel.height, 2);
    EXPECT_FLOAT_EQ(kernelAt(kernel, 1, 0), 0.25f);
    EXPECT_FLOAT_EQ(kernelAt(kernel, 2, 1), 0.75f);

    const std::uint8_t* block = kernel.data;
    clearImage(picture.get());
    EXPECT_TRUE(kernelFromImage(&kernel, picture.get()));
    OwnedImage colour(4, 2, 3, 8);
    fillImage(colour.get(), 1);
    EXPECT_TRUE(kernelFromImage(&kernel, colour.get()));
    EXPECT_EQ(kernel.data, block);
    EXPECT_FLOAT_EQ(kernelAt(kernel, 2, 1), 0.75f);

    // A 16-bit picture is read at its own depth: a lone sample of 1 is a kernel, not black.
    OwnedImage deep(3, 3, 1, 16);
    clearImage(deep.get());
    setSample(deep.get(), 1, 1, 0, 1);
    ASSERT_FALSE(kernelFromImage(&kernel, deep.get()));
    EXPECT_FLOAT_EQ(kernelAt(kernel, 1, 1), 1.0f);
    releaseImage(&kernel);
}

} // namespace
