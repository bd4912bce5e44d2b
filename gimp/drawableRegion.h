#pragma once

// The part of a GIMP drawable the plug-in works on: the bounding box of the selection within the
// drawable (the whole drawable without a selection), read and written with GEGL in the
// drawable's own components and colour space, 8 bits for 8-bit images and 16 bits for every
// deeper precision.

#include "image/ownedImage.h"

#include <cstdint>
#include <string>

struct DrawableRegion {
    std::int32_t drawable = -1;
    int x = 0; // the box in drawable coordinates
    int y = 0;
    int width = 0;
    int height = 0;
    int originX = 0; // the box's top-left corner in image coordinates
    int originY = 0;
    bool alpha = false;
    OwnedImage pixels; // components interleaved; channels = components, 8 or 16 bits
};

// Reads the region of `drawable` in `image`. Returns true with a sentence in `message` for an
// indexed drawable, a selection that misses the drawable, or no memory.
[[nodiscard]] bool readDrawableRegion(
    std::int32_t image, std::int32_t drawable, DrawableRegion* region, std::string* message);

// Writes the pixels through the drawable's shadow buffer and merges it as one undo step, so the
// selection's mask and feathering decide how much of the result each pixel takes.
void writeDrawableRegion(std::int32_t image, const DrawableRegion& region);
