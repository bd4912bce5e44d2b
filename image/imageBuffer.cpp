#include "image/imageBuffer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

struct BlockGeometry {
    std::int32_t stride;
    std::int32_t dataSize;
    bool fits; // false when the geometry is negative or a size overflows 32 bits
};

BlockGeometry blockGeometry(int width, int height, int channels, int bitsPerChannel)
{
    if (width < 0 || height < 0 || channels < 0 || bitsPerChannel < 0)
        return {0, 0, false};
    const std::int64_t stride = std::int64_t(width) * bytesPerSample(bitsPerChannel) * channels;
    const std::int64_t dataSize = stride * height;
    constexpr std::int64_t limit = std::numeric_limits<std::int32_t>::max();
    if (stride > limit || dataSize > limit)
        return {0, 0, false};
    return {std::int32_t(stride), std::int32_t(dataSize), true};
}

// A block of zero bytes still gets a pointer, so that an empty image is not mistaken for a
// failed allocation by callers that test `data`.
std::uint8_t* allocateBlock(std::int32_t size)
{
    return static_cast<std::uint8_t*>(std::malloc(size > 0 ? std::size_t(size) : 1));
}

// Bytes per sample of copyImageRect, chosen from the target's format; 0 copies nothing.
int rectSampleBytes(const ImageBuffer* target)
{
    const int bits = target->bitsPerChannel;
    const bool oneOrThree = target->channels == 1 || target->channels == 3;
    if (bits == 8 && oneOrThree)
        return 1;
    if (bits >= 9 && bits <= 16 && oneOrThree)
        return 2;
    if (bits == 32 && target->channels == 1)
        return 4;
    if (bits == 64 && target->channels == 1)
        return 8;
    return 0;
}

// Bytes per pixel of cropImage, chosen from the target's format; 0 copies nothing.
int cropPixelBytes(const ImageBuffer* target)
{
    const int bits = target->bitsPerChannel;
    const int channels = target->channels;
    if (channels != 1 && channels != 3)
        return 0;
    if (bits == 8)
        return channels;
    if (bits >= 9 && bits <= 16)
        return 2 * channels;
    if (bits == 32)
        return 4 * channels;
    if (bits == 64 && channels == 1)
        return 8;
    return 0;
}

// Bytes per pixel of fillImageRect; 0 leaves the image unchanged.
int fillPixelBytes(const ImageBuffer* image)
{
    if (image->bitsPerChannel == 8 && (image->channels == 1 || image->channels == 3))
        return image->channels;
    if (image->bitsPerChannel == 64 && image->channels == 1)
        return 8;
    return 0;
}

bool isEmpty(ImageRect rect)
{
    return rect.left >= rect.right || rect.top >= rect.bottom;
}

} // namespace

void resetImage(ImageBuffer* image)
{
    *image = ImageBuffer {};
}

int allocateImage(ImageBuffer* image, int width, int height, int channels, int bitsPerChannel)
{
    std::free(image->data);
    image->data = nullptr;
    const BlockGeometry geometry = blockGeometry(width, height, channels, bitsPerChannel);
    image->bitsPerChannel = bitsPerChannel;
    image->stride = geometry.stride;
    image->width = width;
    image->height = height;
    image->channels = channels;
    image->dataSize = geometry.dataSize;
    if (!geometry.fits)
        return ImageOutOfMemory;
    image->data = allocateBlock(geometry.dataSize);
    return image->data ? 0 : ImageOutOfMemory;
}

void releaseImage(ImageBuffer* image)
{
    if (!image->data)
        return;
    std::free(image->data);
    resetImage(image);
}

int copyImageHeader(ImageBuffer* target, const ImageBuffer* source)
{
    // The block size is derived from the source's geometry rather than trusted from its
    // `dataSize`, so a record whose fields disagree can never lead to a short block.
    const BlockGeometry geometry
        = blockGeometry(source->width, source->height, source->channels, source->bitsPerChannel);
    if (!geometry.fits) {
        std::free(target->data);
        target->data = nullptr;
        return ImageOutOfMemory;
    }
    if (!target->data || target->dataSize != geometry.dataSize) {
        std::free(target->data);
        target->data = allocateBlock(geometry.dataSize);
        if (!target->data)
            return ImageOutOfMemory;
    }
    target->dataSize = geometry.dataSize;
    target->stride = geometry.stride;
    target->width = source->width;
    target->height = source->height;
    target->channels = source->channels;
    target->bitsPerChannel = source->bitsPerChannel;
    return 0;
}

void copyImagePixels(ImageBuffer* target, const ImageBuffer* source)
{
    if (!target->data || !source->data)
        return;
    const std::int32_t size = std::min(target->dataSize, source->dataSize);
    if (size > 0)
        std::memmove(target->data, source->data, std::size_t(size));
}

void fillImage(ImageBuffer* image, int value)
{
    if (image->data && image->dataSize > 0)
        std::memset(image->data, value & 0xFF, std::size_t(image->dataSize));
}

void clearImage(ImageBuffer* image)
{
    fillImage(image, 0);
}

void copyImageRect(ImageBuffer* target, const ImageBuffer* source, ImagePoint targetPoint,
    ImagePoint sourcePoint, ImageSize size)
{
    const int sampleBytes = rectSampleBytes(target);
    if (sampleBytes == 0 || !target->data || !source->data || size.width <= 0 || size.height <= 0)
        return;
    const std::size_t rowBytes = std::size_t(target->channels) * size.width * sampleBytes;
    std::uint8_t* targetRow = target->data + std::int64_t(targetPoint.y) * target->stride
        + std::int64_t(targetPoint.x) * target->channels * sampleBytes;
    const std::uint8_t* sourceRow = source->data + std::int64_t(sourcePoint.y) * source->stride
        + std::int64_t(sourcePoint.x) * source->channels * sampleBytes;
    for (int y = 0; y < size.height; ++y) {
        std::memmove(targetRow, sourceRow, rowBytes);
        targetRow += target->stride;
        sourceRow += source->stride;
    }
}

void fillImageRect(ImageBuffer* image, ImageRect rect, int value)
{
    const int pixelBytes = fillPixelBytes(image);
    if (pixelBytes == 0 || isEmpty(rect) || !image->data)
        return;
    const std::size_t rowBytes = std::size_t(rect.right - rect.left) * pixelBytes;
    for (int y = rect.top; y < rect.bottom; ++y) {
        std::uint8_t* row
            = image->data + std::int64_t(y) * image->stride + std::int64_t(rect.left) * pixelBytes;
        std::memset(row, value & 0xFF, rowBytes);
    }
}

void cropImage(ImageBuffer* target, const ImageBuffer* source, ImageRect rect)
{
    const int pixelBytes = cropPixelBytes(target);
    if (pixelBytes == 0 || isEmpty(rect) || !target->data || !source->data)
        return;
    const std::size_t rowBytes = std::size_t(rect.right - rect.left) * pixelBytes;
    std::uint8_t* targetRow = target->data;
    const std::uint8_t* sourceRow = source->data + std::int64_t(rect.top) * source->stride
        + std::int64_t(rect.left) * pixelBytes;
    for (int y = rect.top; y < rect.bottom; ++y) {
        std::memmove(targetRow, sourceRow, rowBytes);
        targetRow += target->stride;
        sourceRow += source->stride;
    }
}
