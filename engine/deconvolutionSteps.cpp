#include "engine/deconvolutionSteps.h"

#include "engine/engineSettings.h"
#include "engine/powerKernels.h"

#include <algorithm>
#include <cfloat>
#include <cstring>
#include <tbb/parallel_for.h>
#include <tbb/partitioner.h>
#include <tbb/task_group.h>

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

void blurWithKernel(DeconvolutionCanvas* canvas, float* target, const float* source)
{
    forwardFft(canvas->fft, source, canvas->spectrum);
    multiplySpectra(canvas->spectrum, canvas->kernelSpectrum, spectrumSize(canvas->fft));
    inverseFft(canvas->fft, canvas->spectrum, target);
}

void correlateWithKernel(DeconvolutionCanvas* canvas, float* values)
{
    forwardFft(canvas->fft, values, canvas->spectrum);
    multiplySpectraConjugate(canvas->spectrum, canvas->kernelSpectrum, spectrumSize(canvas->fft));
    inverseFft(canvas->fft, canvas->spectrum, values);
}

void divideObservedBy(float* blurred, const float* observed, std::size_t count)
{
    forEachChunk(count, [=](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i)
            blurred[i] = std::abs(blurred[i]) > 1e-20f ? observed[i] / blurred[i] : 0.0f;
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
    tbb::task_group_context context;
    tbb::parallel_for(tbb::blocked_range2d<int, int>(0, height, 1, 0, width, 1),
        cPowVkAlpha {values, alpha, width, height}, tbb::auto_partitioner(), context);
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

void divideEstimates(float* ratio, const float* estimate, const float* previous, std::size_t count)
{
    forEachChunk(count, [=](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            const float value = previous[i] > 1e-20f ? estimate[i] / previous[i] : 1.0f;
            ratio[i] = value >= 0.0f ? std::min(value, FLT_MAX) : 0.0f;
        }
    });
}

void scaledLogarithm(float* values, std::size_t count)
{
    forEachChunk(count, [=](std::size_t begin, std::size_t end) {
        scaledLogarithmOf(values + begin, end - begin, 2.3f);
    });
}

float accelerationFactor(const float* estimate, const float* previous, const float* logCorrection,
    const float* logPreviousCorrection, std::size_t count)
{
    float s1 = 0.0f;
    float s2 = 0.0f;
    for (std::size_t i = 0; i < count; ++i) {
        if (logCorrection[i] > -10.0f && logPreviousCorrection[i] > -10.0f) {
            const float u = logPreviousCorrection[i] * previous[i];
            s2 += u * u;
            s1 += logCorrection[i] * estimate[i] * u;
        }
    }
    if (double(s2) <= 1e-10)
        return 0.0f;
    const float alpha = s1 / s2;
    if (alpha >= 1.0f)
        return 1.0f;
    return alpha > 0.0f ? alpha : 0.0f; // also for an undefined quotient
}
