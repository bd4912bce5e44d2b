#pragma once

// The point-spread functions the engine deconvolves with: a one-channel float `kernel` whose
// samples sum to 1. Out of focus, a radially symmetric spot; motion, a smooth curve through the
// user's points softened by a small spot; or a kernel taken from a picture.
//
// Every builder returns true when it failed and then leaves the kernel as it was. While
// params->importedKernel is set, the two builders keep the imported kernel and report success.

#include "engine/deblurParams.h"
#include "image/motionPoint.h"

constexpr int DefocusKernelSize = 128;
constexpr int SpotSize = 128;
constexpr int MotionKernelMargin = 128;
// No tile canvas exceeds 4096 samples a side, so a larger motion kernel could never be used;
// twice that is the most the builder will spend memory on.
constexpr int MaxMotionKernelSize = 8192;

// Fills an n x n row-major array (n even) with 2.7182818^(-r / (2 s^2)), r the distance from
// (n/2, n/2), normalised to sum 1.
void exponentialKernel(double* values, int n, double spread);

// A 128 x 128 spot of the given spread, peak at (64, 64).
[[nodiscard]] bool buildDefocusKernel(DeblurParams* params, double spread);

// The curve through `count` points (at least 2) in image pixels, convolved with a spot of the
// given spread. The kernel is a power of two on each side, at least 256.
[[nodiscard]] bool buildMotionKernel(
    DeblurParams* params, const MotionPoint* points, int count, double spread);

// Rasterises the Catmull-Rom curve through the points into a one-channel 8-bit image as an
// 8-connected line of 255s one pixel wide; pixels outside the image are skipped.
void drawMotionCurve(ImageBuffer* image, const MotionPoint* points, int count);

// The kernel from a one-channel 8- or 16-bit picture, read at its own depth: its samples as
// floats divided by their sum. Fails for a picture of another format or whose samples are all 0.
[[nodiscard]] bool kernelFromImage(ImageBuffer* kernel, const ImageBuffer* image);
