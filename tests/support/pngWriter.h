#pragma once

// Picture files that Qt cannot write, or not as they are needed: PNG gray with alpha (colour
// type 4), a PNG that is nearly all header, and a TIFF of 32-bit float RGB samples (Qt's writer
// does not keep float colours).

#include <cstdint>
#include <string>
#include <vector>

// `samples` are gray, alpha pairs row by row; 8 or 16 bits each.
void writeGrayAlphaPng(
    const std::string& path, int width, int height, int bits, const std::vector<int>& samples);

// A well-formed PNG file that claims an 8-bit RGB picture of the size but holds a few pixels:
// what a decompression bomb looks like to a reader.
std::string pngWithoutPixels(std::uint32_t width, std::uint32_t height);

// An uncompressed little-endian TIFF of `rgb` (red, green, blue floats, 0..1, row by row).
void writeFloatTiff(const std::string& path, int width, int height, const std::vector<float>& rgb);

// A GIF of `image` (converted to 256 grey levels) that Qt can read: its LZW data holds every
// pixel as a literal code, with a clear code often enough that codes stay 9 bits wide. Qt has no
// GIF writer.
std::string grayGif(int width, int height, const std::vector<std::uint8_t>& gray);
