#include "gimp/regionPixels.h"

#include <cstring>
#include <new>

namespace {

int colourCount(const ImageBuffer& region, bool alpha)
{
    return region.channels - (alpha ? 1 : 0);
}

int sampleAt(const ImageBuffer& image, std::size_t index)
{
    if (image.bitsPerChannel == 8)
        return image.data[index];
    std::uint16_t word = 0;
    std::memcpy(&word, image.data + index * 2, 2);
    return word;
}

void setSampleAt(ImageBuffer* image, std::size_t index, int value)
{
    if (image->bitsPerChannel == 8) {
        image->data[index] = std::uint8_t(value);
        return;
    }
    const std::uint16_t word = std::uint16_t(value);
    std::memcpy(image->data + index * 2, &word, 2);
}

// Where colour component `c` (gray, or red, green, blue) of a region pixel goes in the engine's
// blue, green, red order.
int engineChannel(int colours, int c)
{
    return colours == 3 ? 2 - c : c;
}

} // namespace

bool engineColourOf(const ImageBuffer& region, bool alpha, OwnedImage* colour)
{
    const int colours = colourCount(region, alpha);
    *colour = OwnedImage(region.width, region.height, colours, region.bitsPerChannel);
    if (!colour->image.data)
        return true;
    const std::size_t pixels = std::size_t(region.width) * std::size_t(region.height);
    for (std::size_t p = 0; p < pixels; ++p)
        for (int c = 0; c < colours; ++c)
            setSampleAt(colour->get(), p * colours + engineChannel(colours, c),
                sampleAt(region, p * region.channels + c));
    return false;
}

void putEngineColour(ImageBuffer* region, bool alpha, const ImageBuffer& colour)
{
    const int colours = colourCount(*region, alpha);
    const std::size_t pixels = std::size_t(region->width) * std::size_t(region->height);
    for (std::size_t p = 0; p < pixels; ++p)
        for (int c = 0; c < colours; ++c)
            setSampleAt(region, p * region->channels + c,
                sampleAt(colour, p * colours + engineChannel(colours, c)));
}

bool hostImageOf(const ImageBuffer& region, HostImage* image)
{
    try {
        allocateHostImage(image, region.width, region.height, region.channels,
            region.bitsPerChannel == 8 ? 8 : 16);
    } catch (const std::bad_alloc&) {
        *image = HostImage {};
        return true;
    }
    const bool deep = region.bitsPerChannel != 8;
    for (int y = 0; y < region.height; ++y)
        for (int x = 0; x < region.width; ++x)
            for (int plane = 0; plane < region.channels; ++plane) {
                const int value = sampleAt(
                    region, (std::size_t(y) * region.width + x) * region.channels + plane);
                setHostSample(image, x, y, plane, deep ? hostOfFile16(value) : value);
            }
    return false;
}

void putHostColour(ImageBuffer* region, bool alpha, const HostImage& image)
{
    const int colours = colourCount(*region, alpha);
    const bool deep = region->bitsPerChannel != 8;
    for (int y = 0; y < region->height; ++y)
        for (int x = 0; x < region->width; ++x)
            for (int plane = 0; plane < colours; ++plane) {
                const int value = hostSample(image, x, y, plane);
                setSampleAt(region, (std::size_t(y) * region->width + x) * region->channels + plane,
                    deep ? fileOfHost16(value) : value);
            }
}
