#pragma once

// The image view: what the main window shows of its image, kept between renders. It holds 8-bit
// copies of the shown images, so that panning and zooming resample bytes only, and the motion
// line as the deblur panel edits it, with the points' last client positions for hit tests.
//
// One view per main window, used on the window's thread only. The deblur panel owns the motion
// line; the window hands the view a span over it, the preview rectangle and whether the line is
// drawn before each render. The view only reads them. Everything else in the record belongs to
// the view.

#include "image/imageBuffer.h"
#include "image/motionPoint.h"
#include "view/viewCanvas.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// A motion-line point in client pixels, as the last render or update placed it.
struct ScreenPoint {
    std::int32_t x;
    std::int32_t y;
    std::uint8_t selected;
};

struct ImageView {
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

    std::span<const MotionPoint> points; // the panel's motion line
    std::vector<ScreenPoint> screenPoints; // the points' client positions at the last render
    bool lineHidden; // an imported kernel is in use: the motion line is not drawn

    std::optional<ImageRect> previewRect; // in image pixels; empty when no preview is shown
};

// Starts a view on `canvas`: no points, no screen points, no copies, no preview
// rectangle, nearest resampling and the normal scheme. Nothing the record held is freed.
void attachView(ImageView* view, ViewCanvas* canvas);

// Frees what the view owns (the copies and the screen points) and empties those fields; the
// points stay the panel's and are forgotten. Called when the main window is destroyed.
void detachView(ImageView* view);

// NearestResampling (0) or BilinearResampling (1).
void setResamplingMode(ImageView* view, int mode);
