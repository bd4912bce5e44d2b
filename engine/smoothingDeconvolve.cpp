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

// Dividing by (weight * L + 1) moves a sample by about -weight * p * L: a step of explicit
// diffusion, which overshoots once it exceeds a quarter of L (the stable limit for the
// five-point Laplacian). Unchecked, smooth areas then flip between local minima and maxima from
// one iteration to the next, and which samples flip follows the last bits of the transforms, so
// that two machines' FFT plans gave pictures up to 10 levels apart. The Laplacian is scaled
// down wherever |weight * p| exceeds that limit; where the scaled value still reaches the bound
// of 0.5, and wherever the step was stable, the term is what it was.
constexpr float StableDiffusionStep = 0.25f;

// The inside of a row: (p * r) / (weight * L + 1) * normalisation, L the Laplacian of p scaled
// as above and limited to [-0.5, 0.5]. Where the scaling acts and the scaled value stays within
// the limits, weight * L * scale is -L / (4 p) (taking p >= 0 and weight < 0, as they are), and
// (p * r) / (1 - L / (4 p)) is computed as (p * r * p) / (p - L / 4): one division a sample,
// and elsewhere the operations of the plain term. The loop is vectorised (this file is compiled
// without trapping math, so that both sides of a choice may be computed); the operations and
// their order are those of one sample at a time.
void smoothedRow(
    float* x, const float* p, const float* r, int width, float weight, float normalisation)
{
    const float reach = std::fabs(weight);
    for (int i = 1; i < width - 1; ++i) {
        float laplacian = p[i - 1] + p[i + 1] + p[i - width] + p[i + width];
        laplacian -= 4.0f * p[i];
        float limited = laplacian < -0.5f ? -0.5f : laplacian;
        limited = 0.5f < limited ? 0.5f : limited;
        const float value = p[i] * r[i];
        const float step = reach * p[i];
        const float scaled = StableDiffusionStep * laplacian;
        const bool stabilised = step > StableDiffusionStep && std::fabs(scaled) < 0.5f * step;
        const float numerator = stabilised ? value * p[i] : value;
        const float denominator = stabilised ? p[i] - scaled : weight * limited + 1.0f;
        x[i] = numerator / denominator * normalisation;
    }
}

// estimate := previous * correction, divided by (weight * L + 1) off the border, then
// * normalisation; L is the Laplacian of `previous`, scaled and limited as smoothedRow says.
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
    if (!canvas->abort.requested())
        transformKernel(canvas);

    // The new estimate is made from the previous one alone, so the two arrays swap roles
    // instead of being copied.
    float* estimate = canvas->image;
    float* previous = canvas->previous;
    for (int k = 1; k <= iterations; ++k) {
        std::swap(estimate, previous);
        blurWithKernel(canvas, canvas->correction, previous);
        reportStep(progress);
        if (canvas->abort.requested())
            return JobAborted;
        divideObservedBy(canvas->correction, canvas->observed, count);
        correlateWithKernel(canvas, canvas->correction);
        if (canvas->abort.requested())
            return JobAborted;
        smoothedUpdate(estimate, previous, canvas->correction, canvas->width, canvas->height,
            weight, normalisation);
        reportStep(progress);
        if (canvas->abort.requested())
            return JobAborted;
    }
    if (estimate != canvas->image)
        copyValues(canvas->image, estimate, count);
    return JobDone;
}
