#pragma once

// The one in-memory image record and the byte-level operations on it.
//
// All functions here: records are passed by pointer; allocation results are 0 (success) or
// ImageOutOfMemory, and a record whose allocation failed has a null `data`, so callers may test
// either. Copies and fills trust their callers' rectangles and formats: they do not clip, and
// formats they do not handle are skipped silently. Sample formats are converted by
// "image/imageFormat.h", not here.

#include <cstdint>

// Pixels are rows top to bottom with no gap between them (`stride` is exactly one row's
// samples), samples interleaved pixel after pixel, colour samples in the order blue, green, red.
// `bitsPerChannel` is 8 (bytes), 16 (full-range 16-bit words), 15 (16-bit words holding the
// host's 0..32768 range), 32 (float) or 64 (double). An empty record has every field zero.
struct ImageBuffer {
    std::uint8_t* data;
    std::int32_t dataSize; // stride * height
    std::int32_t stride; // width * bytesPerSample * channels
    std::int32_t width;
    std::int32_t height;
    std::int32_t channels; // 1, 3, or 4 while pixels are exchanged with the host
    std::int32_t bitsPerChannel;
};

// Right and bottom are exclusive.
struct ImageRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

struct ImagePoint {
    std::int32_t x;
    std::int32_t y;
};

struct ImageSize {
    std::int32_t width;
    std::int32_t height;
};

constexpr int ImageOutOfMemory = 6;

// (bitsPerChannel + 7) / 8: 1 for 8, 2 for 15 and 16, 4 for 32, 8 for 64.
constexpr int bytesPerSample(int bitsPerChannel)
{
    return (bitsPerChannel + 7) / 8;
}

// Sets every field to zero without freeing anything; for records that hold no block.
void resetImage(ImageBuffer* image);

// Frees the current block, stores the new geometry and allocates a block of it. The old pixels
// are not kept and the new ones are undefined. A geometry that is negative, or whose row or
// block size does not fit 32 bits, fails like an allocation failure: `data` null, the requested
// width, height, channels and depth stored, `stride` and `dataSize` zero.
[[nodiscard]] int allocateImage(
    ImageBuffer* image, int width, int height, int channels, int bitsPerChannel);

// Frees the block and zeroes the record; does nothing when `data` is null.
void releaseImage(ImageBuffer* image);

// Gives `target` the geometry of `source` without copying pixels. A target block of the right
// size is kept with its old contents; otherwise it is replaced by a new one. On failure the
// target's `data` is null and its other fields are unchanged.
[[nodiscard]] int copyImageHeader(ImageBuffer* target, const ImageBuffer* source);

// Copies the smaller of the two `dataSize` values in bytes, whatever the formats.
void copyImagePixels(ImageBuffer* target, const ImageBuffer* source);

// Sets every byte of the block to the low 8 bits of `value`.
void fillImage(ImageBuffer* image, int value);
void clearImage(ImageBuffer* image);

// Copies size.width x size.height pixels from `sourcePoint` in `source` to `targetPoint` in
// `target`. The sample size comes from the target: 8-bit and 16-bit records of 1 or 3 channels,
// 32-bit and 64-bit records of 1 channel; any other target format copies nothing.
void copyImageRect(ImageBuffer* target, const ImageBuffer* source, ImagePoint targetPoint,
    ImagePoint sourcePoint, ImageSize size);

// Sets the bytes of the pixels inside `rect` to the low 8 bits of `value`. Handles 8-bit records
// of 1 or 3 channels and 64-bit records of 1 channel; leaves other formats unchanged.
void fillImageRect(ImageBuffer* image, ImageRect rect, int value);

// Copies the pixels of `rect` in `source` to the top-left corner of `target`, which must be
// allocated with at least the rectangle's size in the source's format. The pixel size comes from
// the target: depths 8, 15/16 and 32 with 1 or 3 channels, 64 with 1 channel.
void cropImage(ImageBuffer* target, const ImageBuffer* source, ImageRect rect);
