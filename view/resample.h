#pragma once

// Filling a view target from an 8-bit image through a ViewTransform, in 16.16 fixed point.
//
// Both resamplers: `target` and `source` are 8-bit with the same channel count, 1 or 3; any
// other pairing leaves the target untouched. Every target pixel (x, y) takes its value from the
// source point windowToImage(x, y), without a half-pixel offset. Target pixels whose source
// point lies outside the image, less a margin, are not written at all, so they keep whatever the
// target held. Clipping is done once per row, so the inner loops carry no bounds test.
//
// Safety for any finite transform: a row whose fixed-point values would not fit 32 bits is left
// unwritten rather than wrapped, and a row's run is cut where the accumulated fixed-point steps
// would leave the source, so no read ever falls outside the source's rows.

#include "image/imageBuffer.h"
#include "view/viewTransform.h"

constexpr int NearestResampling = 0;
constexpr int BilinearResampling = 1;

// Each target pixel copies the source pixel that contains its source point. Source points
// closer than 0.01 pixel to the image's edge are not drawn.
void resampleNearest(
    ImageBuffer* target, const ImageBuffer* source, const ViewTransform& transform);

// Each target pixel blends the four source pixels around its source point, source pixel centres
// lying at integer + 0.5. Source points closer than 0.51 pixel to the image's edge are not
// drawn. A source narrower or lower than 2 pixels is drawn by resampleNearest instead.
void resampleBilinear(
    ImageBuffer* target, const ImageBuffer* source, const ViewTransform& transform);

// resampleBilinear for BilinearResampling, resampleNearest for any other mode.
void resampleImage(
    ImageBuffer* target, const ImageBuffer* source, const ViewTransform& transform, int mode);
