#pragma once

// The deblur choices of a run without the window: the plug-in procedure's arguments, kept
// between runs as one plain record (GIMP stores it as bytes for "repeat with last values").

#include "kernelOptions/kernelOptions.h"

#include <cstdint>
#include <string>

constexpr int ChoicesPointsSize = 1024;
constexpr int ChoicesPathSize = 4096;

struct DeblurChoices {
    std::int32_t mode; // 0 out of focus, 1 motion
    std::int32_t detail; // 1 .. 50
    std::int32_t method; // DeblurMethod
    std::int32_t power; // DeblurPower
    std::int32_t noise; // NoiseLevel
    char points[ChoicesPointsSize]; // "X,Y;X,Y;..." in image pixels; empty out of motion mode
    char psf[ChoicesPathSize]; // a point-spread function picture; empty for the built kernel
};

// The engine's defaults, out of focus, no points, no picture.
DeblurChoices defaultChoices();

// Copies zero-terminated text into a field of `size` bytes. Returns true, leaving the field
// empty, when it does not fit.
[[nodiscard]] bool storeChoiceText(char* field, int size, const char* text);

// The options the batch tool would take for the choices, with the motion points moved by
// (-originX, -originY): the choices give them in image pixels, the engine takes them in the pixels
// of the region it deblurs. Returns true with a sentence in `message` when a choice is out of
// range, the points are malformed, given out of motion mode, or too few.
[[nodiscard]] bool optionsFromChoices(const DeblurChoices& choices, double originX, double originY,
    KernelOptions* options, std::string* message);
