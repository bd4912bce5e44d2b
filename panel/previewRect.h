#pragma once

// The 300 x 300 area of the image that the preview deblurs. Its corners are kept as unclamped
// doubles, so that a rectangle dragged past the image's edge and back comes back whole; the
// pixel rectangle the preview works on is derived from them and clamped to the image.

#include "image/imageBuffer.h"

constexpr int PreviewHalfSide = 150;
// A derived rectangle narrower or lower than this is not worth deblurring (the kernels are 128
// samples wide): the preview then shows the unprocessed image.
constexpr int MinPreviewSide = 16;

struct PreviewRect {
    double x0 = 0;
    double y0 = 0;
    double x1 = 0;
    double y1 = 0;
    ImageRect rect {0, 0, 0, 0}; // derived from the doubles by derivePreviewRect
};

// The rectangle centred on image point (x, y): PreviewHalfSide to each side, cut at the image's
// right and bottom edges, starting at 0 where the centre is within PreviewHalfSide + 1 of the
// left or top edge.
PreviewRect centredPreviewRect(int x, int y, ImageSize image);

// The pixel rectangle of the doubles: each coordinate plus 0.5 truncated, x clamped to the
// image's width and y to its height, anything below 1 taken as 0.
ImageRect derivePreviewRect(const PreviewRect& preview, ImageSize image);

// Moves the doubles by (dx, dy) image pixels, unclamped, and derives the pixel rectangle again.
void movePreviewRect(PreviewRect* preview, double dx, double dy, ImageSize image);

// Whether the derived rectangle is large enough to deblur.
bool previewRectUsable(const ImageRect& rect);
