// Compiled with -ffast-math (see CMakeLists.txt): no comparisons with NaN or infinity here.

#include "engine/powerKernels.h"

#include <cmath>

namespace {

#define VECTOR_CLONES __attribute__((target_clones("avx2", "default")))

VECTOR_CLONES void powerOf(float* values, int count, double exponent)
{
    for (int x = 0; x < count; ++x) {
        const double value = values[x] > 0.0f ? double(values[x]) : 0.0;
        values[x] = float(std::pow(value, exponent));
    }
}

VECTOR_CLONES void logarithmOf(float* values, std::size_t count, float scale)
{
    for (std::size_t i = 0; i < count; ++i)
        values[i] = scale * std::log(values[i] > 1e-30f ? values[i] : 1e-30f);
}

} // namespace

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
