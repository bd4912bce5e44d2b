#pragma once

// The off-screen canvas the image view draws into and the window paints from: one block of
// 8-bit blue, green, red pixels, at least 3000 x 2000 and as large as the largest screen,
// allocated once at its largest size so that resizing the window allocates nothing. The window
// wraps `canvasPixels` for painting without a copy. The canvas also holds the window's three
// images, created empty and released with it.
//
// One canvas per main window, used on the window's thread only.

#include "image/imageBuffer.h"

#include <cstdint>

// The smallest canvas; a larger screen gets a canvas of its own size.
constexpr int CanvasWidth = 3000;
constexpr int CanvasHeight = 2000;

struct ViewCanvas {
    ImageBuffer canvasPixels; // width x height, 3 channels, 8 bits; `data` null when there is none
    int width; // at least CanvasWidth once created
    int height; // at least CanvasHeight once created
    ImageBuffer inputImage; // the image as it was opened
    ImageBuffer resultImage; // the image as it is shown and handed back
    ImageBuffer overlayImage; // the layer's transparency, 255 opaque
};

// Allocates the canvas pixels, `screenSize` but at least 3000 x 2000, and fills every byte with
// the low byte of `workspaceColor` (the skin's application-workspace colour, 0x00BBGGRR);
// empties the three images. True when the allocation failed; the canvas then has no pixels and
// blitCanvas reports BlitNoCanvas.
[[nodiscard]] bool createCanvas(ViewCanvas* canvas, std::uint32_t workspaceColor,
    ImageSize screenSize = {CanvasWidth, CanvasHeight});

// Releases the canvas pixels and the three images.
void destroyCanvas(ViewCanvas* canvas);

constexpr int BlitDone = 0;
constexpr int BlitOutsideCanvas = 1; // the rectangle lies wholly outside the canvas
constexpr int BlitNoCanvas = 3;
constexpr int BlitCopyFailed = 4;

// Copies `rect` of the canvas pixels to the same place of the window's surface; returns true
// when the copy failed. Supplied by the window, which owns the painting surface (`context`).
using CanvasCopy = bool (*)(void* context, const ImageBuffer* canvasPixels, ImageRect rect);

// Clips the paint rectangle to the canvas and has `copy` copy that part unscaled: BlitNoCanvas
// when the canvas has no pixels, BlitOutsideCanvas when nothing of the rectangle lies on the
// canvas (nothing copied), BlitCopyFailed when the copy reports failure, else BlitDone. A window
// larger than the canvas thus still shows the canvas's part; the rest stays as painted before.
[[nodiscard]] int blitCanvas(
    const ViewCanvas* canvas, ImageRect rect, CanvasCopy copy, void* context);
