#include "edit/photoDocument.h"

#include <cstring>
#include <new>

namespace {

int sampleAt(const ImageBuffer& image, int x, int y, int channel)
{
    const std::uint8_t* row = image.data + std::int64_t(y) * image.stride;
    const int index = x * image.channels + channel;
    if (image.bitsPerChannel == 8)
        return row[index];
    std::uint16_t word = 0;
    std::memcpy(&word, row + 2 * index, 2);
    return word;
}

void setSampleAt(ImageBuffer* image, int x, int y, int channel, int value)
{
    std::uint8_t* row = image->data + std::int64_t(y) * image->stride;
    const int index = x * image->channels + channel;
    if (image->bitsPerChannel == 8) {
        row[index] = std::uint8_t(value);
        return;
    }
    const std::uint16_t word = std::uint16_t(value);
    std::memcpy(row + 2 * index, &word, 2);
}

// The photo keeps colour as blue, green, red; the document as red, green, blue.
int photoChannel(int colours, int plane)
{
    return colours == 3 ? 2 - plane : plane;
}

} // namespace

bool documentOfPhoto(const Photo& photo, HostImage* document)
{
    const ImageBuffer& pixels = photo.pixels.image;
    const bool alpha = photo.alpha.image.data != nullptr;
    const int colours = pixels.channels;
    const bool deep = pixels.bitsPerChannel == 16;
    try {
        allocateHostImage(
            document, pixels.width, pixels.height, colours + (alpha ? 1 : 0), deep ? 16 : 8);
    } catch (const std::bad_alloc&) {
        *document = HostImage {};
        return true;
    }
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x) {
            for (int plane = 0; plane < colours; ++plane) {
                const int value = sampleAt(pixels, x, y, photoChannel(colours, plane));
                setHostSample(document, x, y, plane, deep ? hostOfFile16(value) : value);
            }
            if (alpha) {
                const int value = sampleAt(photo.alpha.image, x, y, 0);
                setHostSample(document, x, y, colours, deep ? hostOfFile16(value) : value);
            }
        }
    return false;
}

void takeDocumentColour(const HostImage& document, Photo* photo)
{
    ImageBuffer* pixels = photo->pixels.get();
    const int colours = pixels->channels;
    const bool deep = pixels->bitsPerChannel == 16;
    for (int y = 0; y < pixels->height; ++y)
        for (int x = 0; x < pixels->width; ++x)
            for (int plane = 0; plane < colours; ++plane) {
                const int value = hostSample(document, x, y, plane);
                setSampleAt(
                    pixels, x, y, photoChannel(colours, plane), deep ? fileOfHost16(value) : value);
            }
}
