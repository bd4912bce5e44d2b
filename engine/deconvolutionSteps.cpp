#include "engine/deconvolutionSteps.h"

#include "engine/engineSettings.h"
#include "engine/powerKernels.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <tbb/parallel_for.h>
#include <tbb/partitioner.h>
#include <vector>

namespace {

// Runs body(begin, end) over [0, count) in chunks on the engine's threads; small passes stay on
// the calling thread.
template <typename Body> void forEachChunk(std::size_t count, Body body)
{
    constexpr std::size_t Chunk = 1 << 16;
    if (threadsFor(static_cast<long long>(count)) <= 1) {
        body(std::size_t(0), count);
        return;
    }
    tbb::parallel_for(tbb::blocked_range<std::size_t>(0, count, Chunk),
        [&](const tbb::blocked_range<std::size_t>& range) { body(range.begin(), range.end()); });
}

} // namespace

float kernelNormalisation(const DeconvolutionCanvas& canvas)
{
    const std::size_t count = std::size_t(canvas.width) * canvas.height;
    double sum = 0.0;
    for (std::size_t i = 0; i < count; ++i)
        sum += canvas.kernel[i];
    return sum < 0.00001 ? 1.0f : float(1.0 / sum);
}

void transformKernel(DeconvolutionCanvas* canvas)
{
    forwardFft(canvas->fft, canvas->kernel, canvas->kernelSpectrum);
}

namespace {

// target := inverse FFT(FFT(source) * kernel spectrum, or its conjugate); target may be source.
void filterWithKernel(
    DeconvolutionCanvas* canvas, float* target, const float* source, bool conjugate)
{
    forwardFft(canvas->fft, source, canvas->spectrum);
    SpectrumValue* spectrum = canvas->spectrum;
    const SpectrumValue* kernel = canvas->kernelSpectrum;
    forEachChunk(spectrumSize(canvas->fft), [=](std::size_t begin, std::size_t end) {
        if (conjugate)
            multiplySpectraConjugate(spectrum + begin, kernel + begin, end - begin);
        else
            multiplySpectra(spectrum + begin, kernel + begin, end - begin);
    });
    inverseFft(canvas->fft, canvas->spectrum, target);
}

} // namespace

void blurWithKernel(DeconvolutionCanvas* canvas, float* target, const float* source)
{
    filterWithKernel(canvas, target, source, false);
}

void correlateWithKernel(DeconvolutionCanvas* canvas, float* values)
{
    filterWithKernel(canvas, values, values, true);
}

void divideObservedBy(float* blurred, const float* observed, std::size_t count)
{
    // The quotient is taken for every element and then kept or not, with comparisons that
    // raise no exception: the compiler vectorises only such a loop, and the value kept is the
    // same.
    forEachChunk(count, [=](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            const float value = blurred[i];
            const float quotient = observed[i] / value;
            const bool kept = std::isgreater(value, 1e-20f) || std::isless(value, -1e-20f);
            blurred[i] = kept ? quotient : 0.0f;
        }
    });
}

void fillValues(float* values, float value, std::size_t count)
{
    std::fill(values, values + count, value);
}

void copyValues(float* target, const float* source, std::size_t count)
{
    std::memcpy(target, source, count * sizeof(float));
}

void powerAll(float* values, float alpha, int width, int height)
{
    // The exponents the clamped factor often takes have exact shortcuts: every element of the
    // ratio is finite and at least 0, v^1 = v and v^0 = 1 (also for 0).
    if (alpha == 1.0f)
        return;
    if (alpha == 0.0f) {
        fillValues(values, 1.0f, std::size_t(width) * height);
        return;
    }
    // Rows are never split: the vector and scalar paths of the power may round a value
    // differently, so which elements take which path must not depend on the thread count.
    const cPowVkAlpha power {values, alpha, width, height};
    const tbb::blocked_range2d<int, int> whole(0, height, 1, 0, width, width);
    if (threadsFor(static_cast<long long>(width) * height) <= 1) {
        power(whole);
        return;
    }
    tbb::parallel_for(whole, power, tbb::auto_partitioner());
}

void multiplyValues(float* target, const float* a, const float* b, std::size_t count, float scale)
{
    forEachChunk(count, [=](std::size_t begin, std::size_t end) {
        if (scale == 1.0f) {
            for (std::size_t i = begin; i < end; ++i)
                target[i] = a[i] * b[i];
            return;
        }
        for (std::size_t i = begin; i < end; ++i) {
            const float product = a[i] * b[i];
            target[i] = product * scale;
        }
    });
}

namespace {

// Divides unconditionally and compares without exceptions, as divideObservedBy does, so that
// the loops around it vectorise.
float estimateRatio(float estimate, float previous)
{
    const float quotient = estimate / previous;
    const float value = std::isgreater(previous, 1e-20f) ? quotient : 1.0f;
    return std::isgreaterequal(value, 0.0f) ? (std::isless(FLT_MAX, value) ? FLT_MAX : value)
                                            : 0.0f;
}

} // namespace

void divideEstimates(float* ratio, const float* estimate, const float* previous, std::size_t count)
{
    forEachChunk(count, [=](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i)
            ratio[i] = estimateRatio(estimate[i], previous[i]);
    });
}

void updateEstimate(float* estimate, float* extrapolated, const float* correction,
    const float* previous, float normalisation, std::size_t count)
{
    forEachChunk(count, [=](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            const float product = extrapolated[i] * correction[i];
            estimate[i] = product * normalisation;
            extrapolated[i] = estimateRatio(estimate[i], previous[i]);
        }
    });
}

void scaledLogarithm(float* values, std::size_t count)
{
    forEachChunk(count, [=](std::size_t begin, std::size_t end) {
        scaledLogarithmOf(values + begin, end - begin, 2.3f);
    });
}

namespace {

// Block sums in parallel, added in block order.
float factorFromSums(float* logCorrection, bool takeLogarithm, const float* logPrevious,
    const float* estimate, const float* previous, std::size_t count)
{
    constexpr std::size_t Block = 1 << 16;
    const std::size_t blocks = (count + Block - 1) / Block;
    std::vector<AccelerationSums> partial(blocks);
    auto sumBlock = [&](std::size_t b) {
        const std::size_t begin = b * Block;
        partial[b] = accelerationSums(logCorrection + begin, takeLogarithm, logPrevious + begin,
            estimate + begin, previous + begin, std::min(Block, count - begin));
    };
    if (threadsFor(static_cast<long long>(count)) <= 1) {
        for (std::size_t b = 0; b < blocks; ++b)
            sumBlock(b);
    } else {
        tbb::parallel_for(std::size_t(0), blocks, sumBlock);
    }
    float s1 = 0.0f;
    float s2 = 0.0f;
    for (const AccelerationSums& sums : partial) {
        s1 += sums.s1;
        s2 += sums.s2;
    }
    if (double(s2) <= 1e-10)
        return 0.0f;
    const float alpha = s1 / s2;
    if (alpha >= 1.0f)
        return 1.0f;
    return alpha > 0.0f ? alpha : 0.0f; // also for an undefined quotient
}

} // namespace

float accelerationFactor(const float* estimate, const float* previous, const float* logCorrection,
    const float* logPreviousCorrection, std::size_t count)
{
    return factorFromSums(
        const_cast<float*>(logCorrection), false, logPreviousCorrection, estimate, previous, count);
}

float logarithmAndAccelerationFactor(const float* estimate, const float* previous,
    float* correction, const float* logPreviousCorrection, std::size_t count)
{
    return factorFromSums(correction, true, logPreviousCorrection, estimate, previous, count);
}
