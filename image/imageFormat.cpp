#include "image/imageFormat.h"

#include <algorithm>
#include <cstring>

namespace {

bool isKnownDepth(int bits)
{
    return bits == 8 || bits == 15 || bits == 16 || bits == 32 || bits == 64;
}

bool isIntegerDepth(int bits)
{
    return bits == 8 || bits == 15 || bits == 16;
}

bool isSupportedDepthChange(int from, int to)
{
    if (from == to)
        return isKnownDepth(from);
    return isIntegerDepth(from) && isIntegerDepth(to);
}

bool isSupportedChannelChange(int from, int to)
{
    return from >= 1 && to >= 1 && (from == to || to == 1 || from == 1);
}

// Channel step at the current depth. Integer samples are summed as unsigned integers and the
// mean truncated; float samples are summed in their own precision, in channel order.
template <typename Sample, typename Sum>
void mixChannels(ImageBuffer* work, const ImageBuffer* image)
{
    const int from = image->channels;
    const int to = work->channels;
    const std::int64_t pixels = std::int64_t(image->width) * image->height;
    const auto* in = reinterpret_cast<const Sample*>(image->data);
    auto* out = reinterpret_cast<Sample*>(work->data);
    for (std::int64_t i = 0; i < pixels; ++i, in += from, out += to) {
        if (to == 1) {
            Sum sum = 0;
            for (int c = 0; c < from; ++c)
                sum += in[c];
            out[0] = Sample(sum / Sum(from));
        } else {
            std::fill(out, out + to, in[0]);
        }
    }
}

void changeChannels(ImageBuffer* work, const ImageBuffer* image)
{
    if (work->channels == image->channels) {
        copyImagePixels(work, image);
        return;
    }
    switch (bytesPerSample(image->bitsPerChannel)) {
    case 1:
        mixChannels<std::uint8_t, std::uint32_t>(work, image);
        break;
    case 2:
        mixChannels<std::uint16_t, std::uint32_t>(work, image);
        break;
    case 4:
        mixChannels<float, float>(work, image);
        break;
    case 8:
        mixChannels<double, double>(work, image);
        break;
    }
}

template <typename In, typename Out, typename Convert>
void convertSamples(ImageBuffer* image, const ImageBuffer* work, Convert convert)
{
    const std::int64_t samples = std::int64_t(work->width) * work->height * work->channels;
    const auto* in = reinterpret_cast<const In*>(work->data);
    auto* out = reinterpret_cast<Out*>(image->data);
    for (std::int64_t i = 0; i < samples; ++i)
        out[i] = convert(in[i]);
}

void changeDepth(ImageBuffer* image, const ImageBuffer* work)
{
    const int from = work->bitsPerChannel;
    const int to = image->bitsPerChannel;
    if (from == to) {
        copyImagePixels(image, work);
    } else if (to == 8) {
        const int shift = from - 8;
        convertSamples<std::uint16_t, std::uint8_t>(image, work,
            [shift](std::uint16_t v) { return std::uint8_t(std::min(v >> shift, 255)); });
    } else if (from == 8) {
        const int shift = to - 8;
        convertSamples<std::uint8_t, std::uint16_t>(
            image, work, [shift](std::uint8_t v) { return std::uint16_t(v << shift); });
    } else if (from == 15) {
        // Rounded scaling rather than a shift, so that 16 -> 15 can undo it exactly.
        convertSamples<std::uint16_t, std::uint16_t>(image, work, [](std::uint16_t v) {
            const std::uint32_t scaled = (std::uint32_t(v) * 65535u + 16384u) / 32768u;
            return std::uint16_t(std::min(scaled, 65535u));
        });
    } else {
        convertSamples<std::uint16_t, std::uint16_t>(image, work, [](std::uint16_t v) {
            return std::uint16_t((std::uint32_t(v) * 32768u + 32767u) / 65535u);
        });
    }
}

// Sample size of a channel copy; 0 when the depth is not handled.
int channelSampleBytes(int bits)
{
    if (bits == 8)
        return 1;
    if (bits >= 9 && bits <= 16)
        return 2;
    if (bits == 32)
        return 4;
    return 0;
}

bool isPlaneOf(const ImageBuffer* plane, int index, const ImageBuffer* image)
{
    return plane->channels == 1 && index >= 0 && index < image->channels
        && plane->width == image->width && plane->height == image->height
        && plane->bitsPerChannel == image->bitsPerChannel && plane->data && image->data;
}

// Copies `count` samples of `sampleBytes` each, stepping through source and target by their own
// pixel sizes.
void copyStridedSamples(std::uint8_t* target, int targetStep, const std::uint8_t* source,
    int sourceStep, int count, int sampleBytes)
{
    for (int i = 0; i < count; ++i, target += targetStep, source += sourceStep)
        std::memcpy(target, source, std::size_t(sampleBytes));
}

} // namespace

bool changeImageFormat(ImageBuffer* image, int bitsPerChannel, int channels)
{
    const int fromBits = image->bitsPerChannel;
    if (!image->data || !isSupportedChannelChange(image->channels, channels)
        || !isSupportedDepthChange(fromBits, bitsPerChannel))
        return true;

    ImageBuffer work {};
    if (allocateImage(&work, image->width, image->height, channels, fromBits) != 0) {
        releaseImage(image);
        return true;
    }
    changeChannels(&work, image);

    const bool failed
        = allocateImage(image, image->width, image->height, channels, bitsPerChannel) != 0;
    if (failed)
        resetImage(image);
    else
        changeDepth(image, &work);
    releaseImage(&work);
    return failed;
}

bool extractChannel(ImageBuffer* plane, int index, const ImageBuffer* image)
{
    const int sampleBytes = channelSampleBytes(image->bitsPerChannel);
    if (sampleBytes == 0 || !isPlaneOf(plane, index, image))
        return true;
    const int pixelBytes = image->channels * sampleBytes;
    for (int y = 0; y < image->height; ++y) {
        const std::uint8_t* imageRow = image->data + std::int64_t(y) * image->stride;
        copyStridedSamples(plane->data + std::int64_t(y) * plane->stride, sampleBytes,
            imageRow + index * sampleBytes, pixelBytes, image->width, sampleBytes);
    }
    return false;
}

bool insertChannel(ImageBuffer* image, int index, const ImageBuffer* plane)
{
    const int bits = image->bitsPerChannel;
    if ((bits != 8 && bits != 16 && bits != 32) || !isPlaneOf(plane, index, image))
        return true;
    const int sampleBytes = channelSampleBytes(bits);
    const int pixelBytes = image->channels * sampleBytes;
    for (int y = 0; y < image->height; ++y) {
        std::uint8_t* imageRow = image->data + std::int64_t(y) * image->stride;
        copyStridedSamples(imageRow + index * sampleBytes, pixelBytes,
            plane->data + std::int64_t(y) * plane->stride, sampleBytes, image->width, sampleBytes);
    }
    return false;
}
