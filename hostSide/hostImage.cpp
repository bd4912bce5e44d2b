#include "hostSide/hostImage.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

void allocateHostImage(HostImage* image, int width, int height, int planes, int depth)
{
    image->width = width;
    image->height = height;
    image->planes = planes;
    image->depth = depth;
    image->rowBytes = width * planes * (depth == 16 ? 2 : 1);
    image->pixels.assign(std::size_t(image->rowBytes) * std::size_t(height), 0);
}

namespace {

std::size_t sampleOffset(const HostImage& image, int x, int y, int plane)
{
    const int bytes = image.depth == 16 ? 2 : 1;
    return std::size_t(y) * std::size_t(image.rowBytes)
        + std::size_t((x * image.planes + plane) * bytes);
}

} // namespace

int hostSample(const HostImage& image, int x, int y, int plane)
{
    const std::uint8_t* sample = image.pixels.data() + sampleOffset(image, x, y, plane);
    if (image.depth != 16)
        return *sample;
    std::uint16_t value = 0;
    std::memcpy(&value, sample, 2);
    return value;
}

void setHostSample(HostImage* image, int x, int y, int plane, int value)
{
    std::uint8_t* sample = image->pixels.data() + sampleOffset(*image, x, y, plane);
    if (image->depth != 16) {
        *sample = std::uint8_t(value);
        return;
    }
    const std::uint16_t word = std::uint16_t(value);
    std::memcpy(sample, &word, 2);
}

int hostOfFile16(int value)
{
    return int((std::int64_t(value) * 32768 + 32767) / 65535);
}

int fileOfHost16(int value)
{
    const int host = std::clamp(value, 0, HostWhite16);
    return int((std::int64_t(host) * 65535 + 16384) / 32768);
}
