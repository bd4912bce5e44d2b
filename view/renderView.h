#pragma once

// Drawing the view into the canvas: the background, the image resampled at the view state's
// zoom and position, the transparency checkerboard, the motion line with its point markers and
// the preview rectangle's outline. Only the canvas changes; the window repaints afterwards.

#include "image/imageBuffer.h"
#include "view/imageView.h"
#include "view/viewTransform.h"

#include <cstdint>

constexpr int InputSlot = 1; // the view's copy of the input image
constexpr int ResultSlot = 2; // the view's copy of the result image

constexpr int NormalBackground = 190; // grey level around the image
constexpr int DarkBackground = 48; // the same in the skin's dark schemes (modes 2 and 3)

// What the window asks the view to draw.
struct RenderRequest {
    ImageSize clientSize; // the window's drawing area; only its top-left 3000 x 2000 is drawn
    int reuseCopy; // 0 rebuilds the slot's copy (and the overlay's) from the images; else reuses
    const ImageBuffer* image; // the image for the slot; may be null
    int slot; // InputSlot, ResultSlot, or any other value to clear only
    std::uint8_t draw; // only 1 draws the image; other values leave the area as it is
    const ImageBuffer* overlay; // the layer's transparency, 255 opaque; may be null
};

// Renders into the view's canvas. For slot 1 or 2 the slot's 8-bit copy is rebuilt from
// `image` (any depth, gray or colour) when reuseCopy is 0 or the copy is empty, else reused;
// with draw 1 the area is cleared to the background and the copy resampled into it by the view's
// resampling mode. An overlay with pixels blends the checkerboard in where it is transparent.
// Then the motion line (unless a PSF was imported) and the preview outline are drawn, and the
// points' client positions updated. Returns true when no image was drawn: the slot is neither
// 1 nor 2 (the area is cleared, the overlay still blended), or there is no usable image or copy
// (the area is cleared).
[[nodiscard]] bool renderView(
    ImageView* view, const ViewState& state, const RenderRequest& request);

// Brings the 8-bit copy of slot 1 or 2 up to date with `image` inside `area` (image pixels) only,
// for a change confined to it (a preview's rectangle); a render that reuses the copy then shows
// it. Returns true when it cannot (no copy of the image's size, a reduced copy, no memory): the
// caller has the whole copy rebuilt instead.
[[nodiscard]] bool refreshCopyArea(
    ImageView* view, int slot, const ImageBuffer* image, ImageRect area);

// Recomputes the points' client positions for the view state without drawing; with no points it
// frees the array. If the array cannot grow, no screen points are left.
void updateScreenPoints(ImageView* view, const ViewState& state);
