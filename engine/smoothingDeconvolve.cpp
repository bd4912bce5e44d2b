#include "engine/abort.h"
#include "engine/deconvolution.h"
#include "engine/deconvolutionSteps.h"
#include "engine/engineSettings.h"

#include <algorithm>
#include <cmath>
#include <tbb/parallel_for.h>
#include <utility>

namespace {

// x := p * r * normalisation, for a row or the ends of one: the samples off the Laplacian.
void plainUpdate(float* x, const float* p, const float* r, int count, float normalisation)
{
    for (int i = 0; i < count; ++i) {
        const float value = p[i] * r[i];
        x[i] = value * normalisation;
    }
}

// The inside of a row: (p * r) / (weight * L + 1) * normalisation, L the Laplacian of p limited
// to [-0.5, 0.5]. Without a test per sample the loop is vectorised; the operations and their
// order are those of one sample at a time.
void smoothedRow(
    float* x, const float* p, const float* r, int width, float weight, float normalisation)
{
    for (int i = 1; i < width - 1; ++i) {
        float laplacian = p[i - 1] + p[i + 1] + p[i - width] + p[i + width];
        laplacian -= 4.0f * p[i];
        laplacian = laplacian < -0.5f ? -0.5f : laplacian;
        laplacian = 0.5f < laplacian ? 0.5f : laplacian;
        const float value = p[i] * r[i];
        x[i] = value / (weight * laplacian + 1.0f) * normalisation;
    }
}

// estimate := previous * correction, divided by (weight * L + 1) off the border, then
// * normalisation; L is the Laplacian of `previous` limited to [-0.5, 0.5].
void smoothedUpdate(float* estimate, const float* previous, const float* correction, int width,
    int height, float weight, float normalisation)
{
    auto rows = [=](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const std::size_t offset = std::size_t(y) * width;
            const float* p = previous + offset;
            const float* r = correction + offset;
            float* x = estimate + offset;
            if (y == 0 || y == height - 1 || width < 3) {
                plainUpdate(x, p, r, width, normalisation);
                continue;
            }
            plainUpdate(x, p, r, 1, normalisation);
            smoothedRow(x, p, r, width, weight, normalisation);
            plainUpdate(x + width - 1, p + width - 1, r + width - 1, 1, normalisation);
        }
    };
    if (threadsFor(static_cast<long long>(width) * height) <= 1) {
        rows(0, height);
        return;
    }
    tbb::parallel_for(tbb::blocked_range<int>(0, height, 16),
        [&](const tbb::blocked_range<int>& range) { rows(range.begin(), range.end()); });
}

} // namespace

float smoothingWeight(int noise)
{
    const float exponent = float(2 - noise);
    const float factor = float(std::pow(double(0.4f), double(exponent)));
    return factor * -0.02f;
}

JobStatus smoothingDeconvolve(
    DeconvolutionCanvas* canvas, int iterations, float weight, const ProgressSink& progress)
{
    const std::size_t count = std::size_t(canvas->width) * canvas->height;
    const float normalisation = kernelNormalisation(*canvas);
    copyValues(canvas->observed, canvas->image, count);
    reportStep(progress);
    if (!isAbortRequested())
        transformKernel(canvas);

    // The new estimate is made from the previous one alone, so the two arrays swap roles
    // instead of being copied.
    float* estimate = canvas->image;
    float* previous = canvas->previous;
    for (int k = 1; k <= iterations; ++k) {
        std::swap(estimate, previous);
        blurWithKernel(canvas, canvas->correction, previous);
        reportStep(progress);
        if (isAbortRequested())
            return JobAborted;
        divideObservedBy(canvas->correction, canvas->observed, count);
        correlateWithKernel(canvas, canvas->correction);
        if (isAbortRequested())
            return JobAborted;
        smoothedUpdate(estimate, previous, canvas->correction, canvas->width, canvas->height,
            weight, normalisation);
        reportStep(progress);
        if (isAbortRequested())
            return JobAborted;
    }
    if (estimate != canvas->image)
        copyValues(canvas->image, estimate, count);
    return JobDone;
}
