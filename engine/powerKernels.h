#pragma once

// The transcendental element-wise kernels, compiled with fast math so that the compiler can use
// the vector math library. Their inputs must be finite; the callers guarantee it.

#include <cstddef>
#include <tbb/blocked_range2d.h>

// Raises every element of a row-major array to `alpha`, evaluated in double precision and
// stored as float; negative elements count as 0. The body of the parallel power.
struct cPowVkAlpha {
    float* data;
    float alpha;
    int width; // row length, also the row stride
    int height;
    void operator()(const tbb::blocked_range2d<int, int>& range) const;
};

// values[i] := scale * ln(max(values[i], 1e-30)).
void scaledLogarithmOf(float* values, std::size_t count, float scale);

// The sums of the acceleration factor over `count` elements whose two logarithms are above -10:
// s2 of u^2 and s1 of logCorrection * estimate * u, u = logPrevious * previous, in single
// precision. With `takeLogarithm`, logCorrection first receives 2.3 * ln(max(value, 1e-30)) of
// the correction field it holds.
struct AccelerationSums {
    float s1 = 0.0f;
    float s2 = 0.0f;
};
AccelerationSums accelerationSums(float* logCorrection, bool takeLogarithm,
    const float* logPrevious, const float* estimate, const float* previous, std::size_t count);
