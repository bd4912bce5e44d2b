#pragma once

// The preview's work: the deblur of one small area of the image, on the calling thread.

#include "engine/deblurParams.h"
#include "image/imageBuffer.h"

// Deblurs `rect` of `input` with `params` and puts the result at the same place of `result`,
// which has the input's geometry and holds its pixels elsewhere. Returns false, with `result`
// unchanged, when memory ran out or the engine stopped (an abort, a kernel larger than the area
// can take).
[[nodiscard]] bool deblurPreviewArea(
    ImageBuffer* result, const ImageBuffer* input, ImageRect rect, const DeblurParams& params);
