#pragma once

// The transparency checkerboard that shows through the image where the layer is transparent.

#include "image/imageBuffer.h"

constexpr int CheckerSquare = 15; // pixels per square side
constexpr int CheckerDark = 190; // grey level of the square at (0, 0)
constexpr int CheckerLight = 220;

// Blends the checkerboard under `target` (8 bits, 3 channels) by `alpha` (8 bits, 1 channel, at
// least the target's size): every byte q of target pixel (x, y) becomes
// (q * m + (255 - m) * c) / 255, truncated, where m is the alpha at (x, y) and c is CheckerLight
// where x / 15 and y / 15 differ in parity, else CheckerDark. Alpha 255 keeps the pixel and 0
// shows the checkerboard. Other formats are left untouched.
void blendCheckerboard(ImageBuffer* target, const ImageBuffer* alpha);
