#pragma once

// What a picture file's own header says where Qt's reader does not tell it: a PNG's colour type
// and bit depth (gray with alpha is read as colour, 1- to 4-bit pictures as 8-bit), a BMP's bits
// per pixel (4-bit pictures are read as 8-bit).

#include <string_view>

struct PngHeader {
    int bitDepth; // 1, 2, 4, 8 or 16
    int colourType; // 0 gray, 2 colour, 3 palette, 4 gray with alpha, 6 colour with alpha
};

// Returns true when `file` does not start with a PNG signature and header.
[[nodiscard]] bool readPngHeader(std::string_view file, PngHeader* header);

// The bits per pixel of a BMP file; 0 when `file` is not one.
int bmpBitCount(std::string_view file);
