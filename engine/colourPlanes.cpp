#include "engine/colourPlanes.h"

#include "engine/engineSettings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <tbb/parallel_for.h>

namespace {

struct Range {
    double offset;
    double maximum;
};

Range sampleRange(int bits)
{
    if (bits == 8)
        return {128.0, 255.0};
    const double full = double(1 << bits);
    return {full / 2.0, full - 1.0};
}

double clampTo(double value, const Range& range)
{
    return std::clamp(value, 0.0, range.maximum);
}

bool compatible(const ImageBuffer* a, const ImageBuffer* b)
{
    return a->data && b->data && a->channels == 3 && b->channels == 3
        && a->bitsPerChannel == b->bitsPerChannel && a->bitsPerChannel >= 8
        && a->bitsPerChannel <= 16;
}

// Applies convert(in, out) to every pixel of the area two records share, rows spread over the
// engine's threads (each pixel on its own, so the result is the same for any count).
template <typename Sample, typename Convert>
void forEachPixel(ImageBuffer* target, const ImageBuffer* source, Convert convert)
{
    const int width = std::min(target->width, source->width);
    const int height = std::min(target->height, source->height);
    auto rows = [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const auto* in
                = reinterpret_cast<const Sample*>(source->data + std::int64_t(y) * source->stride);
            auto* out = reinterpret_cast<Sample*>(target->data + std::int64_t(y) * target->stride);
            for (int x = 0; x < width; ++x, in += 3, out += 3)
                convert(in, out);
        }
    };
    if (threadsFor(std::int64_t(width) * height) <= 1) {
        rows(0, height);
        return;
    }
    tbb::parallel_for(tbb::blocked_range<int>(0, height, 16),
        [&](const tbb::blocked_range<int>& range) { rows(range.begin(), range.end()); });
}

template <typename Sample> void toLumaChroma(ImageBuffer* planes, const ImageBuffer* rgb)
{
    const Range range = sampleRange(rgb->bitsPerChannel);
    // Words round their chroma; bytes truncate it.
    const double chromaRounding = sizeof(Sample) == 1 ? 0.0 : 0.5;
    forEachPixel<Sample>(planes, rgb, [&](const Sample* in, Sample* out) {
        const double blue = in[0];
        const double green = in[1];
        const double red = in[2];
        const double luma
            = clampTo(std::trunc(0.299 * red + 0.587 * green + 0.114 * blue + 0.5), range);
        out[0] = Sample(luma);
        out[1] = Sample(
            clampTo(std::trunc(0.713 * (red - luma) + range.offset + chromaRounding), range));
        out[2] = Sample(
            clampTo(std::trunc(0.564 * (blue - luma) + range.offset + chromaRounding), range));
    });
}

template <typename Sample> void toRgb(ImageBuffer* rgb, const ImageBuffer* planes)
{
    const Range range = sampleRange(rgb->bitsPerChannel);
    forEachPixel<Sample>(rgb, planes, [&](const Sample* in, Sample* out) {
        const double luma = in[0];
        const double red = std::trunc(luma + 1.402524544179523 * (in[1] - range.offset) + 0.5);
        const double blue = std::trunc(luma + 1.773049645390071 * (in[2] - range.offset) + 0.5);
        const double green
            = std::trunc((luma - 0.114 * blue - 0.299 * red) * 1.7035775127768313 + 0.5);
        out[0] = Sample(clampTo(blue, range));
        out[1] = Sample(clampTo(green, range));
        out[2] = Sample(clampTo(red, range));
    });
}

} // namespace

bool rgbToLumaChroma(ImageBuffer* planes, const ImageBuffer* rgb)
{
    if (!compatible(planes, rgb))
        return true;
    if (rgb->bitsPerChannel == 8)
        toLumaChroma<std::uint8_t>(planes, rgb);
    else
        toLumaChroma<std::uint16_t>(planes, rgb);
    return false;
}

bool lumaChromaToRgb(ImageBuffer* rgb, const ImageBuffer* planes)
{
    if (!compatible(rgb, planes))
        return true;
    if (rgb->bitsPerChannel == 8)
        toRgb<std::uint8_t>(rgb, planes);
    else
        toRgb<std::uint16_t>(rgb, planes);
    return false;
}
