#include "engine/tilePadding.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

template <typename Sample> Sample* row(const ImageBuffer* image, int y)
{
    return reinterpret_cast<Sample*>(image->data + std::int64_t(y) * image->stride);
}

// trunc(v / margin * k) in double precision; the edge itself (k = margin) keeps v exactly.
template <typename Sample> Sample ramp(Sample v, int margin, int k)
{
    if (k == margin)
        return v;
    return Sample(double(v) / margin * k);
}

template <typename Sample> void taper(ImageBuffer* image, int c)
{
    const int width = image->width;
    const int height = image->height;
    for (int y = c; y < height - c; ++y) {
        Sample* samples = row<Sample>(image, y);
        const Sample left = samples[c];
        const Sample right = samples[width - c - 1];
        for (int k = c; k >= 1; --k) {
            samples[k] = ramp(left, c, k);
            samples[width - 1 - k] = ramp(right, c, k);
        }
    }
    const Sample* top = row<Sample>(image, c);
    const Sample* bottom = row<Sample>(image, height - c - 1);
    for (int x = 0; x < width; ++x) {
        const Sample topValue = top[x];
        const Sample bottomValue = bottom[x];
        for (int k = c; k >= 0; --k)
            row<Sample>(image, k)[x] = ramp(topValue, c, k);
        for (int k = c; k >= 1; --k)
            row<Sample>(image, height - 1 - k)[x] = ramp(bottomValue, c, k);
    }
}

// Sliding sums: a running vertical sum per column, then a horizontal sliding sum over those.
template <typename Sample, typename Sum>
bool blur(ImageBuffer* target, const ImageBuffer* source, int window)
{
    const int width = source->width;
    const int height = source->height;
    const int half = window / 2;
    auto* columnSums = static_cast<Sum*>(std::calloc(std::size_t(width), sizeof(Sum)));
    if (!columnSums)
        return true;
    for (int y = 0; y < half && y < height; ++y) {
        const Sample* in = row<Sample>(source, y);
        for (int x = 0; x < width; ++x)
            columnSums[x] += in[x];
    }
    for (int y = 0; y < height; ++y) {
        if (y + half < height) {
            const Sample* entering = row<Sample>(source, y + half);
            for (int x = 0; x < width; ++x)
                columnSums[x] += entering[x];
        }
        if (y - half - 1 >= 0) {
            const Sample* leaving = row<Sample>(source, y - half - 1);
            for (int x = 0; x < width; ++x)
                columnSums[x] -= leaving[x];
        }
        const Sum rows = Sum(std::min(y + half, height - 1) - std::max(y - half, 0) + 1);
        Sample* out = row<Sample>(target, y);
        Sum sum = 0;
        for (int x = 0; x < half && x < width; ++x)
            sum += columnSums[x];
        for (int x = 0; x < width; ++x) {
            if (x + half < width)
                sum += columnSums[x + half];
            if (x - half - 1 >= 0)
                sum -= columnSums[x - half - 1];
            const Sum columns = Sum(std::min(x + half, width - 1) - std::max(x - half, 0) + 1);
            out[x] = Sample(sum / (rows * columns));
        }
    }
    std::free(columnSums);
    return false;
}

} // namespace

void taperMargins(ImageBuffer* image, int margin)
{
    if (margin <= 0 || 2 * margin >= image->width || 2 * margin >= image->height)
        return;
    if (image->bitsPerChannel == 8)
        taper<std::uint8_t>(image, margin);
    else
        taper<std::uint16_t>(image, margin);
}

bool boxBlur(ImageBuffer* target, const ImageBuffer* source, int window)
{
    if (window <= 1)
        return true;
    if (source->bitsPerChannel == 8)
        return blur<std::uint8_t, std::uint32_t>(target, source, window);
    return blur<std::uint16_t, std::uint64_t>(target, source, window);
}

void copyBorderBand(ImageBuffer* target, const ImageBuffer* source, int band)
{
    const int sampleBytes = bytesPerSample(source->bitsPerChannel);
    const int width = source->width;
    const int height = source->height;
    const std::size_t rowBytes = std::size_t(width) * sampleBytes;
    const std::size_t bandBytes = std::size_t(std::min(band, width)) * sampleBytes;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* to = target->data + std::int64_t(y) * target->stride;
        const std::uint8_t* from = source->data + std::int64_t(y) * source->stride;
        if (y < band || y >= height - band) {
            std::memcpy(to, from, rowBytes);
        } else {
            std::memcpy(to, from, bandBytes);
            std::memcpy(to + rowBytes - bandBytes, from + rowBytes - bandBytes, bandBytes);
        }
    }
}
