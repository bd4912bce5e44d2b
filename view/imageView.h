#pragma once

// The image view: what the main window shows of its image, kept between renders. It holds 8-bit
// copies of the shown images, so that panning and zooming resample bytes only, and the motion
// line as the deblur panel edits it, with the points' last client positions for hit tests.
//
// One view per main window, used on the window's thread only. The panel owns and edits the
// `points` array (under its own lock) and attaches `previewRect` and `importedKernel`; the view
// only reads them. Everything else in the record belongs to the view.

#include "image/imageBuffer.h"
#include "image/motionPoint.h"
#include "view/viewCanvas.h"

#include <cstdint>
#include <memory>

// A motion-line point in client pixels, as the last render or update placed it.
struct ScreenPoint {
    std::int32_t x;
    std::int32_t y;
    std::uint8_t selected;
};

struct ImageView {
    void* window; // opaque here: the main window, whose client area is drawn
    ImageBuffer* canvas; // the canvas pixels of the window's ViewCanvas
    int resamplingMode; // NearestResampling or BilinearResampling
    bool darkScheme; // the skin's scheme is dark (isDarkScheme): the image's surround darkens

    ImageBuffer inputCopy; // 8-bit, 3-channel copy of the image last shown in slot 1
    ImageBuffer resultCopy; // the same for slot 2
    ImageBuffer overlayCopy; // 8-bit, 1-channel copy of the overlay
    // Reduction of each copy (0 or 1: full size); see view/reducedCopy.h.
    int inputCopyFactor;
    int resultCopyFactor;
    int overlayCopyFactor;

    MotionPoint* points; // the panel's array; the view never frees or grows it
    std::int32_t pointCount;
    std::int32_t pointCapacity;

    std::unique_ptr<ScreenPoint[]> screenPoints; // the view's own, freed when no point is left
    std::int32_t screenPointCount;
    std::int32_t screenPointCapacity;

    const ImageRect* previewRect; // in image pixels; null when no preview is shown
    const bool* importedKernel; // the panel's flag: no motion line is drawn while it is true
};

// Starts a view on `canvas` for `window`: no points, no screen points, no copies, no preview
// rectangle, nearest resampling and the normal scheme. Nothing the record held is freed.
void attachView(ImageView* view, void* window, ViewCanvas* canvas);

// Frees what the view owns (the copies and the screen points) and empties those fields; the
// points stay the panel's. Called when the main window is destroyed.
void detachView(ImageView* view);

// NearestResampling (0) or BilinearResampling (1).
void setResamplingMode(ImageView* view, int mode);
