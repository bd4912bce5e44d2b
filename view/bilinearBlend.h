#pragma once

// The two passes of bilinear resampling on 8-bit samples in 16.16 fixed point: a horizontal pass
// that blends each sample with the same sample of the pixel to its right, and a vertical pass
// that blends two horizontally blended rows. Every blend is exactly
// (b * f + a * (65536 - f) + 32768) >> 16, the horizontal one rounded before the vertical one.
// Where SSE2 is available the passes use it, with the same results.

#include <cstdint>

// (b * f + a * (65536 - f) + 32768) >> 16 for samples a, b in 0..255 and f in 0..65535, with one
// product: a * 65536 is a whole multiple of 65536, so it passes through the flooring shift.
inline std::int32_t lerp16(std::int32_t a, std::int32_t b, std::int32_t f)
{
    return a + (((b - a) * f + 32768) >> 16);
}

// Horizontal pass over one source row of 3-channel pixels for `count` target pixels: target pixel
// i reads the pixel at column x >> 16 and its right neighbour with the fraction x & 0xFFFF, where
// x = start + i * step. Writes values[3 * i + c]; `values` must have room for 3 * count + 1
// samples (the fast path stores one sample past the end). Every pixel read must lie in the row.
void blendRowHorizontally3(std::int16_t* values, const std::uint8_t* row, int count,
    std::int64_t start, std::int64_t step);

// Vertical pass: out[k] = lerp16(top[k], bottom[k], fy) for k below `samples`.
void blendRowsVertically(std::uint8_t* out, const std::int16_t* top, const std::int16_t* bottom,
    int samples, std::int32_t fy);
