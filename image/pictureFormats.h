#pragma once

// Decoded picture rows to image records: which decoder pixel formats a point-spread-function
// picture may have, and how each becomes samples. The converters read a plain description of
// the rows, so they stand apart from any decoder.

#include "image/imageBuffer.h"

#include <cstdint>

// Decoder pixel-format codes.
enum PixelFormatCode : std::uint32_t {
    PixelFormatUndefined = 0,
    PixelFormat1bppIndexed = 0x30101,
    PixelFormat4bppIndexed = 0x30402,
    PixelFormat8bppIndexed = 0x30803,
    PixelFormat16bppGrayScale = 0x101004,
    PixelFormat16bppRGB555 = 0x21005,
    PixelFormat16bppRGB565 = 0x21006,
    PixelFormat16bppARGB1555 = 0x61007,
    PixelFormat24bppRGB = 0x21808,
    PixelFormat32bppRGB = 0x22009,
    PixelFormat32bppARGB = 0x26200A,
    PixelFormat32bppPARGB = 0xE200B,
    PixelFormat48bppRGB = 0x10300C,
    PixelFormat64bppARGB = 0x34400D,
    PixelFormat64bppPARGB = 0x1C400E,
};

// Rows of decoded pixels: each row starts `pitch` bytes after the previous one (the pitch may
// exceed the pixel bytes). Multi-byte values are little-endian; colour pixels store blue, green,
// red (and alpha) in that order. An 8-bit indexed picture comes with its palette of ARGB
// entries (blue in the low byte).
struct PixelRows {
    const std::uint8_t* first = nullptr;
    int pitch = 0;
    int width = 0;
    int height = 0;
    std::uint32_t format = PixelFormatUndefined;
    const std::uint32_t* palette = nullptr;
    int paletteSize = 0;
};

// Formats refused with the "not supported" message: undefined, 1- and 4-bit indexed, and the
// premultiplied and 48-bit ones.
bool isRefusedPixelFormat(std::uint32_t format);

// Fills `target` (released first) from the rows: 8-bit results of 1 or 3 channels, or 16-bit
// results of 1 or 3 channels, colour samples blue, green, red. An 8-bit indexed picture becomes
// 1 channel when every palette entry some pixel uses is gray, else 3. Returns true, leaving
// `target` untouched, for a refused or unlisted format, an index beyond the palette, or
// exhausted memory.
[[nodiscard]] bool convertPixelRows(ImageBuffer* target, const PixelRows& rows);
