#pragma once

#include <cstdint>

// One point of the motion line, in image pixels, in the order the user placed it.
struct MotionPoint {
    double x;
    double y;
    std::uint8_t selected; // editing state of the point; ignored by the engine
};
