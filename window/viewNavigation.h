#pragma once

// How the view state moves under the zoom commands, the mouse wheel and the fits. Pure functions
// of the view state and the geometry, in the window's device pixels.

#include "image/imageBuffer.h"
#include "view/viewTransform.h"

constexpr double ZoomStep = 1.2;
constexpr double ZoomOutStep = 0.8333333333333334; // 1 / 1.2
constexpr double MaxInitialZoom = 8.0; // 800 %: the initial fit and the wheel stop there
constexpr double MinWheelSide = 100.0; // the wheel keeps the long side at least this many pixels

// Beyond these the view draws nothing useful: above MaxToolbarZoom one image pixel outgrows the
// fixed-point step, and below MinToolbarZoom the image shrinks under one screen pixel or its
// step leaves the fixed-point range. The toolbar's steps stop there.
constexpr double MaxToolbarZoom = 65536.0;
constexpr double MinToolbarZoom = 1.0 / 32768.0;

// The zoom after a zoom-in or zoom-out command: one step of 1.2, or `zoom` unchanged when the
// step would pass the range the view can draw (or leave the image under one screen pixel).
double zoomInStep(double zoom);
double zoomOutStep(double zoom, ImageSize image);

// The view state after one wheel notch at `cursor`: the image point under the cursor (clamped to
// the image's on-screen rectangle) stays put; the zoom steps by 1.2, at most 8 and at least so
// much that the long side covers 100 screen pixels (the lower bound wins).
ViewState wheelZoom(const ViewState& state, ImagePoint cursor, ImageSize image, bool zoomIn);

// The view state that fits `image` into `view` (a rectangle of the client area), centred, with
// no upper bound.
ViewState fitView(ImageSize image, ImageRect view);

// The first display's fit: the view area given by its width and height (whose centre lies
// `top` pixels further down), a two-pixel margin, at most 800 %.
ViewState initialFit(ImageSize image, int viewWidth, int viewHeight, int top);
