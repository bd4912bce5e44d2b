#pragma once

// The outline of the preview rectangle, drawn by inverting pixels so that it shows on any image
// and a second drawing restores what was under it.

#include "image/imageBuffer.h"

#include <cstdint>

// Inverts every byte of the pixels of a frame two pixels thick along the client rectangle from
// (x0, y0) to (x1, y1), both corners included: for x from x0 + 2 to x1 - 2 the pixels in rows
// y0, y0 + 1, y1 - 1 and y1; for y from y0 to y1 those in columns x0, x0 + 1, x1 - 1 and x1.
// Where these coincide (a rectangle under four pixels high or wide) a pixel is inverted twice.
// Pixels outside the target (8 bits, 3 channels) are skipped.
void invertPreviewOutline(
    ImageBuffer* target, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1);
