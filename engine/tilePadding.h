#pragma once

// The smooth, dark-going margin around a tile: linear ramps from the edge pixels down to 0,
// then softened by box blurs. All functions work on one-channel 8- or 16-bit records of equal
// size; every depth other than 8 is handled as 16-bit words.

#include "image/imageBuffer.h"

// Fills the padding of width `margin` around the image in `image` (the padding holds 0 before)
// with ramps from the image's edge samples down to 0 at the outer border: the sample `k` steps
// from the border gets trunc(v / margin * k), and the edge itself keeps v. Rows first, then
// columns over the whole width, so the corners ramp from the first and last image rows.
void taperMargins(ImageBuffer* image, int margin);

// target := the mean of `source` over a window x window square clipped to the image, in
// integer arithmetic with truncating division. Returns true (target unchanged) when window <= 1
// or memory is exhausted.
[[nodiscard]] bool boxBlur(ImageBuffer* target, const ImageBuffer* source, int window);

// Copies the outer band of `band` samples on every side from `source` to `target`.
void copyBorderBand(ImageBuffer* target, const ImageBuffer* source, int band);
