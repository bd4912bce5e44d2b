#include "module/imageExchange.h"

#include "image/imageFormat.h"
#include "module/filterRects.h"
#include "module/pluginCall.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr Fixed FullRate = 0x10000; // 1.0: the host delivers full resolution

// Asks the host for the whole image, all planes at once, in both directions.
OSErr requestWholeImage(PluginCall& call, HostSize size)
{
    FilterRecord* record = call.filterRecord;
    record->inputRate = FullRate;
    record->maskRate = FullRate;
    const HostRect whole {0, 0, size.height, size.width};
    setInRect(call, whole);
    setOutRect(call, whole);
    record->inLoPlane = 0;
    record->outLoPlane = 0;
    record->inHiPlane = int16(record->planes - 1);
    record->outHiPlane = int16(record->planes - 1);
    if (!record->advanceState)
        return errPlugInHostInsufficient;
    return record->advanceState();
}

// The colour planes of a host image with this many planes; 0 for counts the module does not
// handle. The plane after them, if any, is the transparency.
int colorPlanes(int planes)
{
    switch (planes) {
    case 1:
    case 2:
        return 1;
    case 3:
    case 4:
        return 3;
    default:
        return 0;
    }
}

// One pixel from host order (red, green, blue) to record order (blue, green, red), or back:
// the same reversal both ways.
void reverseColor(std::uint8_t* to, const std::uint8_t* from, int colors, int sampleBytes)
{
    for (int c = 0; c < colors; ++c)
        std::memcpy(to + c * sampleBytes, from + (colors - 1 - c) * sampleBytes, sampleBytes);
}

void copyFromHost(ImageBuffer* color, ImageBuffer* alpha, const std::uint8_t* hostData,
    int hostRowBytes, int planes)
{
    const int sampleBytes = bytesPerSample(color->bitsPerChannel);
    const int colors = color->channels;
    for (int y = 0; y < color->height; ++y) {
        const std::uint8_t* from = hostData + std::ptrdiff_t(y) * hostRowBytes;
        std::uint8_t* to = color->data + std::ptrdiff_t(y) * color->stride;
        std::uint8_t* toAlpha = alpha ? alpha->data + std::ptrdiff_t(y) * alpha->stride : nullptr;
        for (int x = 0; x < color->width; ++x) {
            reverseColor(to, from, colors, sampleBytes);
            to += colors * sampleBytes;
            if (toAlpha) {
                std::memcpy(toAlpha, from + colors * sampleBytes, sampleBytes);
                toAlpha += sampleBytes;
            }
            from += planes * sampleBytes;
        }
    }
}

void copyToHost(std::uint8_t* hostData, int hostRowBytes, int planes, const ImageBuffer* color)
{
    const int sampleBytes = bytesPerSample(color->bitsPerChannel);
    const int colors = color->channels;
    for (int y = 0; y < color->height; ++y) {
        const std::uint8_t* from = color->data + std::ptrdiff_t(y) * color->stride;
        std::uint8_t* to = hostData + std::ptrdiff_t(y) * hostRowBytes;
        for (int x = 0; x < color->width; ++x) {
            reverseColor(to, from, colors, sampleBytes);
            from += colors * sampleBytes;
            to += planes * sampleBytes; // a transparency sample after the colours stays as it is
        }
    }
}

OSErr failRead(StartImages* images, OSErr error)
{
    images->source = OwnedImage();
    images->mask = OwnedImage();
    return error;
}

std::int64_t hostRowBytes(int width, int planes, int depth)
{
    return std::int64_t(width) * planes * bytesPerSample(depth);
}

} // namespace

OSErr readSourceImage(PluginCall& call, StartImages* images)
{
    // A size the module cannot know is refused before anything is asked of the host.
    HostSize size {};
    if (documentSize(call, &size))
        return failRead(images, filterBadMode);
    const OSErr error = requestWholeImage(call, size);
    if (error != noErr)
        return failRead(images, error);
    const FilterRecord* record = call.filterRecord;
    const int planes = record->planes;
    const int colors = colorPlanes(planes);
    const int depth = record->depth == 8 ? 8 : record->depth == 16 ? 15 : 0; // 15: host range
    const int width = size.width;
    const int height = size.height;
    if (colors == 0 || depth == 0 || !record->inData
        || record->inRowBytes < hostRowBytes(width, planes, depth))
        return failRead(images, filterBadMode);

    // The colour planes and the transparency plane go straight into their own records.
    if (allocateImage(images->source.get(), width, height, colors, depth) != 0)
        return failRead(images, memFullErr);
    const bool hasAlpha = planes > colors;
    images->mask = OwnedImage();
    if (hasAlpha && allocateImage(images->mask.get(), width, height, 1, depth) != 0)
        return failRead(images, memFullErr);
    copyFromHost(images->source.get(), hasAlpha ? images->mask.get() : nullptr,
        static_cast<const std::uint8_t*>(record->inData), record->inRowBytes, planes);

    if (depth == 15) {
        if (changeImageFormat(images->source.get(), 16, images->source->channels))
            return failRead(images, memFullErr);
        if (hasAlpha && changeImageFormat(images->mask.get(), 16, 1))
            return failRead(images, memFullErr);
    }
    return noErr;
}

OSErr writeResultImage(PluginCall& call, ImageBuffer* source)
{
    // Without an image there is nothing to send; the host's buffers need not be asked for.
    HostSize size {};
    if (!source->data || documentSize(call, &size))
        return noErr;
    const OSErr error = requestWholeImage(call, size);
    if (error != noErr)
        return error;
    const FilterRecord* record = call.filterRecord;
    const int planes = record->planes;
    const int hostDepth = record->depth == 8 ? 8 : 15;
    const bool matches = source->channels == colorPlanes(planes) && source->width == size.width
        && source->height == size.height
        && (source->bitsPerChannel == hostDepth
            || (hostDepth == 15 && source->bitsPerChannel == 16))
        && record->outData && record->outRowBytes >= hostRowBytes(source->width, planes, hostDepth);
    if (!matches)
        return noErr;
    if (source->bitsPerChannel == 16 && changeImageFormat(source, 15, source->channels))
        return memFullErr;
    copyToHost(static_cast<std::uint8_t*>(record->outData), record->outRowBytes, planes, source);
    return noErr;
}
