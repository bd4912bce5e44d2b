#pragma once

// One point of the user's motion line: where the camera shake passed, in image pixels. The view
// draws the line through these points and the engine turns them into a blur kernel; both read
// the same array, so the record lives here, below both.

#include <cstdint>

struct MotionPoint {
    double x; // image column, may lie outside the image
    double y; // image row
    std::uint8_t selected; // nonzero while the user has the point selected
};
