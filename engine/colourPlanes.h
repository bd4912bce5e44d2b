#pragma once

// Colour pixels to a luma plane and two chroma planes and back. Only the luma plane is
// deconvolved: sharpening it sharpens the image without coloured fringes.
//
// The colour record holds blue, green, red; the plane record luma Y, red difference Cr and
// blue difference Cb. Depth 8 uses bytes with offset 128 and maximum 255; every other depth
// 16-bit words with offset 2^bits / 2 and maximum 2^bits - 1. Both functions return true,
// doing nothing, unless both records have pixels, three channels and the same depth; they
// convert the area the two records share.

#include "image/imageBuffer.h"

[[nodiscard]] bool rgbToLumaChroma(ImageBuffer* planes, const ImageBuffer* rgb);
[[nodiscard]] bool lumaChromaToRgb(ImageBuffer* rgb, const ImageBuffer* planes);
