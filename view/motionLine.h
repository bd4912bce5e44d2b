#pragma once

// The motion line as the view draws it: a Catmull-Rom curve through the points in client pixels,
// plotted by midpoint subdivision into touching pixels, and a square marker on every point.

#include "image/imageBuffer.h"
#include "view/imageView.h"

// Colours as blue, green, red bytes.
struct LineColor {
    std::uint8_t blue;
    std::uint8_t green;
    std::uint8_t red;
};

constexpr LineColor MotionLineColor {100, 250, 100};
constexpr LineColor MarkerColor {100, 100, 250};
constexpr LineColor SelectedMarkerColor {100, 250, 250};

// Draws the curve through `count` points into `target` (8 bits, 3 channels), then a marker on
// each point: the 9 x 9 square centred on it, less its inner 5 x 5, in the marker colour of the
// point's selection. Segment k runs from point k to point k + 1 with the points before and after
// it as outer control points, the end points repeating at the line's ends, so two points give a
// straight line. Pixels outside the target are skipped, never wrapped.
void drawMotionLine(ImageBuffer* target, const ScreenPoint* points, int count);
