// Compiled with -ffast-math (see CMakeLists.txt): no comparisons with NaN or infinity here.

#include "engine/powerKernels.h"

#include <cmath>

namespace {

// The clone is chosen by a resolver that runs while the program is loaded, before a thread
// sanitizer's runtime is ready for instrumented code; such builds keep the baseline version.
#ifdef __SANITIZE_THREAD__
#define VECTOR_CLONES
#else
#define VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#endif

// v^a as e^(a ln v) in double precision: within a few units of the last place of double, so
// the float result is the correctly rounded power, at a third of the cost of pow. Values at or
// below 0 give 0 (1 for a = 0), as pow of 0 does.
VECTOR_CLONES void powerOf(float* values, int count, double exponent)
{
    const float zeroPower = exponent == 0.0 ? 1.0f : 0.0f;
    for (int x = 0; x < count; ++x) {
        const double value = values[x] > 0.0f ? double(values[x]) : 1.0;
        const float power = float(std::exp(exponent * std::log(value)));
        values[x] = values[x] > 0.0f ? power : zeroPower;
    }
}

VECTOR_CLONES void logarithmOf(float* values, std::size_t count, float scale)
{
    for (std::size_t i = 0; i < count; ++i)
        values[i] = scale * std::log(values[i] > 1e-30f ? values[i] : 1e-30f);
}

VECTOR_CLONES AccelerationSums sums(float* logCorrection, bool takeLogarithm,
    const float* logPrevious, const float* estimate, const float* previous, std::size_t count)
{
    if (takeLogarithm)
        logarithmOf(logCorrection, count, 2.3f);
    float s1 = 0.0f;
    float s2 = 0.0f;
    for (std::size_t i = 0; i < count; ++i) {
        const bool counted = logCorrection[i] > -10.0f && logPrevious[i] > -10.0f;
        const float u = logPrevious[i] * previous[i];
        s2 += counted ? u * u : 0.0f;
        s1 += counted ? logCorrection[i] * estimate[i] * u : 0.0f;
    }
    return {s1, s2};
}

} // namespace

AccelerationSums accelerationSums(float* logCorrection, bool takeLogarithm,
    const float* logPrevious, const float* estimate, const float* previous, std::size_t count)
{
    return sums(logCorrection, takeLogarithm, logPrevious, estimate, previous, count);
}

void cPowVkAlpha::operator()(const tbb::blocked_range2d<int, int>& range) const
{
    const int columns = range.cols().end() - range.cols().begin();
    for (int y = range.rows().begin(); y < range.rows().end(); ++y)
        powerOf(data + std::size_t(y) * std::size_t(width) + range.cols().begin(), columns, alpha);
}

void scaledLogarithmOf(float* values, std::size_t count, float scale)
{
    logarithmOf(values, count, scale);
}
