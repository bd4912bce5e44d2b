#include "engine/deconvolution.h"
#include "engine/deconvolutionSteps.h"
#include "tests/support/engineTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

TEST(AccelerationFactor, IsTheClampedRatioOfTheSums)
{
    // One element: u = logPrevious * previous, S2 = u^2, S1 = logCorrection * estimate * u.
    struct {
        float estimate, previous, logCorrection, logPrevious, alpha;
    } const cases[] = {
        {3.0f, 1.0f, 1.0f, std::sqrt(2.0f), 1.0f}, // S1 = 3 sqrt2, S2 = 2: above 1
        {1.0f, 2.0f, 0.5f, 1.0f, 0.25f}, // S1 = 1, S2 = 4
        {1.0f, 2.0f, -0.5f, 1.0f, 0.0f}, // S1 < 0
        {1.0f, 2.0f, 0.5f, 0.0f, 0.0f}, // S2 = 0
        {1.0f, 2.0f, 0.5f, 1e-6f, 0.0f}, // S2 below 1e-10
        {1.0f, 2.0f, -10.0f, 1.0f, 0.0f}, // logarithms at -10 are skipped
        {1.0f, 2.0f, 0.5f, -10.5f, 0.0f},
    };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(
            accelerationFactor(&c.estimate, &c.previous, &c.logCorrection, &c.logPrevious, 1),
            c.alpha);

    const float estimate[2] = {1.0f, 1.0f};
    const float previous[2] = {1.0f, 1.0f};
    const float logCorrection[2] = {0.5f, 100.0f};
    const float logPrevious[2] = {1.0f, -20.0f}; // the second element is skipped
    EXPECT_FLOAT_EQ(accelerationFactor(estimate, previous, logCorrection, logPrevious, 2), 0.5f);
}

TEST(SmoothingWeight, FollowsTheNoiseLevel)
{
    EXPECT_NEAR(smoothingWeight(ClearNoise), -0.0032f, 1e-9f);
    EXPECT_NEAR(smoothingWeight(MediumNoise), -0.008f, 1e-9f);
    EXPECT_FLOAT_EQ(smoothingWeight(NoisyNoise), -0.02f);
}

TEST(ElementSteps, PowerAndLogarithmStayFinite)
{
    std::vector<float> values = {-3.0f, 0.0f, 4.0f, 0.25f};
    powerAll(values.data(), 0.5f, 2, 2);
    EXPECT_EQ(values[0], 0.0f); // negative counts as 0 rather than giving NaN
    EXPECT_EQ(values[1], 0.0f);
    EXPECT_FLOAT_EQ(values[2], 2.0f);
    EXPECT_FLOAT_EQ(values[3], 0.5f);
    std::vector<float> ones = {0.0f, 7.0f};
    powerAll(ones.data(), 0.0f, 2, 1);
    EXPECT_EQ(ones[0], 1.0f);
    EXPECT_EQ(ones[1], 1.0f);

    std::vector<float> logs = {1.0f, std::exp(1.0f), 0.0f, -5.0f};
    scaledLogarithm(logs.data(), logs.size());
    EXPECT_EQ(logs[0], 0.0f);
    EXPECT_FLOAT_EQ(logs[1], 2.3f);
    EXPECT_LT(logs[2], -10.0f);
    EXPECT_TRUE(std::isfinite(logs[2]));
    EXPECT_LT(logs[3], -10.0f);

    std::vector<float> ratio(4);
    const float estimate[4] = {2.0f, 2.0f, -1.0f, 1e30f};
    const float previous[4] = {4.0f, 0.0f, 1.0f, 1e-19f};
    divideEstimates(ratio.data(), estimate, previous, 4);
    EXPECT_EQ(ratio[0], 0.5f);
    EXPECT_EQ(ratio[1], 1.0f);
    EXPECT_EQ(ratio[2], 0.0f);
    EXPECT_TRUE(std::isfinite(ratio[3]));
}

// A 64 x 64 canvas with its arrays, for running the methods directly.
class MethodCanvas : public testing::Test {
protected:
    static constexpr int Size = 64;
    static constexpr std::size_t Count = Size * Size;

    void SetUp() override
    {
        for (float*& array : floats) {
            array = allocateFftFloats(Count);
            ASSERT_NE(array, nullptr);
        }
        for (SpectrumValue*& array : spectra) {
            array = allocateSpectrum(Size * (Size / 2 + 1));
            ASSERT_NE(array, nullptr);
        }
        canvas.width = canvas.height = Size;
        ASSERT_FALSE(prepareRealFft(&canvas.fft, Size, Size));
        canvas.image = floats[0];
        canvas.kernel = floats[1];
        canvas.observed = floats[2];
        canvas.extrapolation = floats[3];
        canvas.correction = floats[4];
        canvas.previous = floats[5];
        canvas.logCorrection = floats[6];
        canvas.logPreviousCorrection = floats[7];
        canvas.kernelSpectrum = spectra[0];
        canvas.spectrum = spectra[1];
        fillValues(floats[1], 0.0f, Count);
        floats[1][0] = 1.0f; // the identity kernel
        for (std::size_t i = 0; i < Count; ++i)
            floats[0][i] = float(50 + (i * 37) % 150);
        original.assign(floats[0], floats[0] + Count);
    }
    void TearDown() override
    {
        for (float* array : floats)
            freeFftMemory(array);
        for (SpectrumValue* array : spectra)
            freeFftMemory(array);
    }

    float* floats[8] = {};
    SpectrumValue* spectra[2] = {};
    DeconvolutionCanvas canvas;
    std::vector<float> original;
    ProgressRecord progress;
};

TEST_F(MethodCanvas, ProgressiveWithTheIdentityKernelKeepsTheImage)
{
    ASSERT_EQ(progressiveDeconvolve(&canvas, progressiveIterations(MediumPower), progress.sink()),
        JobDone);
    EXPECT_EQ(progress.steps, progressiveSteps(MediumPower));
    for (std::size_t i = 0; i < Count; ++i)
        ASSERT_NEAR(canvas.image[i], original[i], 1e-3f * original[i]) << i;
}

// With the identity kernel every update gives back the observed image, divided by
// (weight * L + 1) with |weight * L| <= 0.01 for "Noisy".
TEST_F(MethodCanvas, SmoothingWithTheIdentityKernelStaysWithinOnePercent)
{
    ASSERT_EQ(smoothingDeconvolve(&canvas, smoothingIterations(MediumPower),
                  smoothingWeight(NoisyNoise), progress.sink()),
        JobDone);
    EXPECT_EQ(progress.steps, 61);
    for (std::size_t i = 0; i < Count; ++i)
        ASSERT_NEAR(canvas.image[i], original[i], 0.0102f * original[i]) << i;
}

TEST_F(MethodCanvas, AbortReturnsAtTheNextCheck)
{
    // Progressive: the abort seen after the blur of iteration 5 ends the method before its ratio.
    AbortFlag stop {0};
    canvas.abort = &stop;
    progress.onStep = [&stop](int steps) {
        if (steps == 2 + 3 * 4 + 1)
            requestAbort(stop);
    };
    EXPECT_EQ(progressiveDeconvolve(&canvas, 14, progress.sink()), JobAborted);
    EXPECT_EQ(progress.steps, 15);

    clearAbort(stop);
    ProgressRecord smoothing;
    smoothing.onStep = [&stop](int steps) {
        if (steps == 6)
            requestAbort(stop);
    };
    EXPECT_EQ(smoothingDeconvolve(&canvas, 30, -0.008f, smoothing.sink()), JobAborted);
    EXPECT_EQ(smoothing.steps, 6);
}

} // namespace
