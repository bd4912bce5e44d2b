#pragma once

// The off-screen canvas the image view draws into and the window paints from: one block of
// 3000 x 2000 pixels, 8-bit blue, green, red, allocated once at its largest size so that
// resizing the window allocates nothing. The window wraps `canvasPixels` for painting without a
// copy. The canvas also holds the window's three images, created empty and released with it.
//
// One canvas per main window, used on the window's thread only.

#include "image/imageBuffer.h"

#include <cstdint>

constexpr int CanvasWidth = 3000;
constexpr int CanvasHeight = 2000;

struct ViewCanvas {
    void* ownerWindow; // opaque here: the window that paints from the canvas
    ImageBuffer canvasPixels; // 3000 x 2000, 3 channels, 8 bits; `data` null when there is none
    int width; // CanvasWidth once created
    int height; // CanvasHeight once created
    ImageBuffer inputImage; // the image as it was opened
    ImageBuffer resultImage; // the image as it is shown and handed back
    ImageBuffer overlayImage; // the layer's transparency, 255 opaque
};

// Allocates the canvas pixels and fills every byte with the low byte of `workspaceColor` (the
// skin's application-workspace colour, 0x00BBGGRR); empties the three images. True when the
// allocation failed; the canvas then has no pixels and blitCanvas reports BlitNoCanvas.
[[nodiscard]] bool createCanvas(
    ViewCanvas* canvas, void* ownerWindow, std::uint32_t workspaceColor);

// Releases the canvas pixels and the three images.
void destroyCanvas(ViewCanvas* canvas);

constexpr int BlitDone = 0;
constexpr int BlitOutsideCanvas = 1; // the rectangle reaches beyond the canvas; nothing copied
constexpr int BlitNoCanvas = 3;
constexpr int BlitCopyFailed = 4;

// Copies `rect` of the canvas pixels to the same place of the window's surface; returns true
// when the copy failed. Supplied by the window, which owns the painting surface (`context`).
using CanvasCopy = bool (*)(void* context, const ImageBuffer* canvasPixels, ImageRect rect);

// Checks the paint rectangle and has `copy` copy it unscaled: BlitNoCanvas when the canvas has
// no pixels, BlitOutsideCanvas when the rectangle's right edge exceeds 3000 or its bottom edge
// exceeds 2000, BlitCopyFailed when the copy reports failure, else BlitDone. Left and top edges
// are the copy's to clip, as the window's painting clips anyway.
[[nodiscard]] int blitCanvas(
    const ViewCanvas* canvas, ImageRect rect, CanvasCopy copy, void* context);
