#pragma once

// Lays a point-spread function out on an FFT canvas so that its weighted centroid sits at the
// canvas origin and the rest wraps around the edges: the layout whose circular convolution
// blurs an image without shifting it.

#include "image/imageBuffer.h"

struct KernelCentroid {
    int x;
    int y;
};

// The weighted centroid of a one-channel float kernel, rounded by adding 0.5 and truncating;
// the unnormalised sums (0 for an all-zero kernel) when the samples do not sum above 0.
KernelCentroid kernelCentroid(const ImageBuffer* kernel);

// Writes kernel sample (x, y) to canvas[(y - cy) mod height][(x - cx) mod width]; other canvas
// samples are left alone. Returns true, writing nothing, when the kernel is wider or taller than
// the canvas or is not a one-channel float record.
[[nodiscard]] bool placeKernelWrapped(
    float* canvas, int width, int height, const ImageBuffer* kernel);
