#pragma once

// The document as the host stand-in holds it: planes interleaved pixel by pixel (gray or red,
// green, blue, then an optional transparency plane), 8-bit bytes or 16-bit words in the host's
// range 0..32768, rows `rowBytes` apart.

#include <cstdint>
#include <vector>

struct HostImage {
    int width = 0;
    int height = 0;
    int planes = 0; // 1 gray, 2 gray + transparency, 3 RGB, 4 RGB + transparency
    int depth = 8; // 8 or 16
    int rowBytes = 0;
    std::vector<std::uint8_t> pixels;
};

constexpr int HostWhite16 = 32768;

// Allocates a zeroed image of this geometry; rows are packed.
void allocateHostImage(HostImage* image, int width, int height, int planes, int depth);

// Sample `plane` of pixel (x, y).
int hostSample(const HostImage& image, int x, int y, int plane);
void setHostSample(HostImage* image, int x, int y, int plane, int value);

// The sample conversions between full-range 16-bit values (files, other editors) and the host
// range: hostOfFile16 rounds v * 32768 / 65535 to the nearest, fileOfHost16 rounds
// h * 65535 / 32768 to the nearest, so every host level survives the round trip and any 16-bit
// value comes back within 1.
int hostOfFile16(int value);
int fileOfHost16(int value);
