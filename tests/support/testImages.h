#pragma once

// Deterministic image generators and checks shared by the test suites.

#include "image/imageBuffer.h"
#include "image/ownedImage.h"

#include <cstdint>
#include <vector>

// Fills every byte with (seed + 7 * index) mod 251, a pattern with no period of a row or pixel.
void fillBytePattern(ImageBuffer* image, int seed = 0);

// The block as bytes, for whole-image comparisons.
std::vector<std::uint8_t> imageBytes(const ImageBuffer* image);

// Sample (x, y, channel) of an 8- or 16-bit image.
int sampleAt(const ImageBuffer* image, int x, int y, int channel);
void setSample(ImageBuffer* image, int x, int y, int channel, int value);
