#pragma once

// Conversions between sample forms of ImageBuffer records: an in-place change of depth and
// channel count, and the copy of one channel plane out of or into an image. Plain integer or
// float arithmetic on every sample: no gamma, no dithering, no colour weighting.
//
// All functions return true when they failed. A failure for an unsupported format leaves every
// record unchanged; an allocation failure inside changeImageFormat empties the image.

#include "image/imageBuffer.h"

// Converts `image` in place to `bitsPerChannel` and `channels`; width and height stay. Channel
// counts may stay, drop to 1 (mean of the samples, truncated) or grow from 1 (sample repeated).
// Depths convert as follows, v being the sample:
//   15/16 -> 8   v >> (from - 8), at most 255
//   8 -> 15/16   v << (to - 8)
//   15 -> 16     (v * 65535 + 16384) / 32768, at most 65535: the host's white 32768 becomes 65535
//   16 -> 15     (v * 32768 + 32767) / 65535: exactly undoes 15 -> 16 for 0..32768
// Depths 32 and 64 only change their channel count.
[[nodiscard]] bool changeImageFormat(ImageBuffer* image, int bitsPerChannel, int channels);

// Copies channel `index` of `image` into the one-channel `plane` of the same size and depth.
// Handles depths 8, 15, 16 and 32.
[[nodiscard]] bool extractChannel(ImageBuffer* plane, int index, const ImageBuffer* image);

// Copies the one-channel `plane` into channel `index` of `image` of the same size and depth; the
// other channels stay. Handles depths 8, 16 and 32.
[[nodiscard]] bool insertChannel(ImageBuffer* image, int index, const ImageBuffer* plane);
