#pragma once

// The plug-in procedure's arguments of a run without the window, kept between runs as one plain
// record (GIMP stores it as bytes for "repeat with last values", so its layout stays as it is).

#include "choices/deblurChoices.h"

#include <cstdint>
#include <string>

constexpr int ValuesPointsSize = 1024;
constexpr int ValuesPathSize = 4096;

struct ProcedureValues {
    std::int32_t mode; // 0 out of focus, 1 motion
    std::int32_t detail; // 1 .. 50, or 0 to estimate it
    std::int32_t method; // DeblurMethod
    std::int32_t power; // DeblurPower
    std::int32_t noise; // NoiseLevel
    char points[ValuesPointsSize]; // "X,Y;X,Y;..." in image pixels, or "auto"; empty out of
                                   // motion mode
    char psf[ValuesPathSize]; // a point-spread function picture; empty for the built kernel
};

// The default choices, out of focus, no points, no picture.
ProcedureValues defaultProcedureValues();

// Copies zero-terminated text into a field of `size` bytes. Returns true, leaving the field
// empty, when it does not fit.
[[nodiscard]] bool storeValueText(char* field, int size, const char* text);

// The deblur choices the values give, with the motion points moved by (-originX, -originY): the
// values give them in image pixels, the engine takes them in the pixels of the region it
// deblurs. A picture named in `psf` is left to the caller to read into choices->psf; its path
// goes to `psfPath` (empty when none). Returns true with a sentence in `message` when a value is
// out of range, the points are malformed, given out of motion mode, or too few.
[[nodiscard]] bool choicesFromValues(const ProcedureValues& values, double originX, double originY,
    DeblurChoices* choices, std::string* psfPath, std::string* message);
