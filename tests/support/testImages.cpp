#include "tests/support/testImages.h"

#include <cstring>
#include <gtest/gtest.h>

void fillBytePattern(ImageBuffer* image, int seed)
{
    for (std::int32_t i = 0; i < image->dataSize; ++i)
        image->data[i] = std::uint8_t((seed + 7 * std::int64_t(i)) % 251);
}

std::vector<std::uint8_t> imageBytes(const ImageBuffer* image)
{
    return std::vector<std::uint8_t>(image->data, image->data + image->dataSize);
}

namespace {

std::uint8_t* sampleAddress(const ImageBuffer* image, int x, int y, int channel)
{
    const int bytes = bytesPerSample(image->bitsPerChannel);
    return image->data + std::int64_t(y) * image->stride
        + (std::int64_t(x) * image->channels + channel) * bytes;
}

} // namespace

int sampleAt(const ImageBuffer* image, int x, int y, int channel)
{
    const std::uint8_t* address = sampleAddress(image, x, y, channel);
    if (image->bitsPerChannel == 8)
        return *address;
    std::uint16_t word;
    std::memcpy(&word, address, sizeof word);
    return word;
}

void setSample(ImageBuffer* image, int x, int y, int channel, int value)
{
    std::uint8_t* address = sampleAddress(image, x, y, channel);
    if (image->bitsPerChannel == 8) {
        *address = std::uint8_t(value);
        return;
    }
    const std::uint16_t word = std::uint16_t(value);
    std::memcpy(address, &word, sizeof word);
}
