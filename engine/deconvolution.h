#pragma once

// The two Richardson-Lucy iterations, computed with circular convolutions on an FFT canvas.
// Every array is width x height floats (row-major, no gaps) from allocateFftFloats; the spectra
// hold spectrumSize(fft) values. The methods allocate nothing; they report progress steps and
// poll the canvas's abort token between steps, returning JobAborted at once when it is set.
//
// The transforms are unscaled: blur and correlate each multiply by width * height, the ratio
// divides one such factor out and the correlation brings it back, so an iteration is scale-free.

#include "engine/abort.h"
#include "engine/jobStatus.h"
#include "engine/progress.h"
#include "engine/realFft.h"

struct DeconvolutionCanvas {
    int width = 0; // canvas columns, a power of two
    int height = 0; // canvas rows, a power of two
    RealFft2d fft;
    float* image = nullptr; // observed canvas on entry, the estimate on exit
    const float* kernel = nullptr; // the kernel laid out around the origin
    // Work arrays.
    float* observed = nullptr;
    float* extrapolation = nullptr; // ratio of the last two estimates, then the extrapolated one
    float* correction = nullptr; // the blurred estimate, then the correction field
    float* previous = nullptr; // the previous estimate
    float* logCorrection = nullptr; // scaled logarithm of the last correction field
    float* logPreviousCorrection = nullptr; // the same for the one before
    SpectrumValue* kernelSpectrum = nullptr;
    SpectrumValue* spectrum = nullptr; // scratch for one transform
    AbortToken abort; // polled between steps
};

// Iteration counts and steps per tile for a deblurring power.
constexpr int progressiveIterations(int power)
{
    return 7 * (power + 1);
}
constexpr int smoothingIterations(int power)
{
    return 15 * (power + 1);
}
constexpr int progressiveSteps(int power)
{
    return 21 * power + 23;
}
constexpr int smoothingSteps(int power)
{
    return 30 * power + 31;
}

// The weight of the smoothing term: -0.02 * 0.4^(2 - noise) in single precision, so -0.0032
// for "Clear", -0.008 for "Medium" and -0.02 for "Noisy".
float smoothingWeight(int noise);

// Accelerated Richardson-Lucy: each iteration extrapolates the estimate along the ratio of the
// last two estimates raised to an exponent computed from the last two correction fields.
JobStatus progressiveDeconvolve(
    DeconvolutionCanvas* canvas, int iterations, const ProgressSink& progress);

// Richardson-Lucy whose update is divided by (weight * L + 1), L the Laplacian of the previous
// estimate limited to [-0.5, 0.5], on every sample but the canvas border. Where a sample's
// |weight * value| exceeds 1/4, L is first scaled by 1/4 over it, so that the smoothing stays a
// stable diffusion step and the result does not depend on the last bits of the transforms.
JobStatus smoothingDeconvolve(
    DeconvolutionCanvas* canvas, int iterations, float weight, const ProgressSink& progress);

// The exponent of the extrapolation, from the estimate, the previous estimate and the scaled
// logarithms of the last two correction fields: S1 / S2 limited to [0, 1], with
// u = logPrevious * previous, S2 = sum of u^2, S1 = sum of logCorrection * estimate * u, over
// the elements whose two logarithms are above -10, summed in single precision in blocks of a
// fixed size (so the result does not depend on the thread count); 0 when S2 <= 1e-10. The
// iterations compute it fused with the logarithm (logarithmAndAccelerationFactor); this plain
// form is what that pass is tested against.
float accelerationFactor(const float* estimate, const float* previous, const float* logCorrection,
    const float* logPreviousCorrection, std::size_t count);
