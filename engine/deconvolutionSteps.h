#pragma once

// The element-wise and spectral steps shared by the two deconvolution methods. Large passes are
// spread over the engine's threads; each element is written by exactly one of them.

#include "engine/deconvolution.h"

#include <cstddef>

// Sum of the kernel layout in double precision, and the normalisation factor it gives: 1 / sum,
// or 1 when the sum is below 0.00001.
float kernelNormalisation(const DeconvolutionCanvas& canvas);

// kernelSpectrum := FFT(kernel).
void transformKernel(DeconvolutionCanvas* canvas);

// target := source convolved with the kernel (circularly, scaled by width * height).
void blurWithKernel(DeconvolutionCanvas* canvas, float* target, const float* source);

// values := values correlated with the kernel (circularly, scaled by width * height).
void correlateWithKernel(DeconvolutionCanvas* canvas, float* values);

// blurred := observed / blurred where |blurred| > 1e-20, else 0.
void divideObservedBy(float* blurred, const float* observed, std::size_t count);

void fillValues(float* values, float value, std::size_t count);
void copyValues(float* target, const float* source, std::size_t count);

// values := values ^ alpha, evaluated in double precision; negative values count as 0 (the
// shortcuts for alpha 1 and 0 assume there are none, as in a ratio of estimates).
void powerAll(float* values, float alpha, int width, int height);

// target := a * b, element by element, then * scale when scale is not 1; target may be a or b.
void multiplyValues(
    float* target, const float* a, const float* b, std::size_t count, float scale = 1.0f);

// ratio := estimate / previous where previous > 1e-20, else 1; a negative or undefined ratio
// becomes 0 and an infinite one the largest float, so the power never meets them.
void divideEstimates(float* ratio, const float* estimate, const float* previous, std::size_t count);

// The update of an accelerated iteration in one pass: estimate := extrapolated * correction *
// normalisation, then extrapolated := divideEstimates(estimate, previous).
void updateEstimate(float* estimate, float* extrapolated, const float* correction,
    const float* previous, float normalisation, std::size_t count);

// values := 2.3 * ln(values); values at or below 1e-30 give a result far below -10, which is
// all that the acceleration factor looks at. The iterations use the fused pass below; this and
// accelerationFactor stay as the plain statement of the arithmetic that it is tested against.
void scaledLogarithm(float* values, std::size_t count);

// scaledLogarithm of the correction field, then accelerationFactor with it, in one pass.
float logarithmAndAccelerationFactor(const float* estimate, const float* previous,
    float* correction, const float* logPreviousCorrection, std::size_t count);
