#include "image/pictureFormats.h"

#include <cstring>

namespace {

std::uint16_t word(const std::uint8_t* bytes)
{
    return std::uint16_t(bytes[0] | bytes[1] << 8);
}

struct Layout {
    int channels;
    int bits;
};

// The result's layout for a directly converted format; channels 0 for an unlisted one.
Layout layoutOf(std::uint32_t format)
{
    switch (format) {
    case PixelFormat24bppRGB:
    case PixelFormat32bppRGB:
    case PixelFormat32bppARGB:
    case PixelFormat16bppRGB555:
    case PixelFormat16bppARGB1555:
    case PixelFormat16bppRGB565:
        return {3, 8};
    case PixelFormat16bppGrayScale:
        return {1, 16};
    case PixelFormat64bppARGB:
        return {3, 16};
    default:
        return {0, 0};
    }
}

// One pixel of a directly converted format into the target's samples.
void convertPixel(std::uint32_t format, const std::uint8_t* in, std::uint8_t* out)
{
    switch (format) {
    case PixelFormat24bppRGB:
    case PixelFormat32bppRGB:
    case PixelFormat32bppARGB:
        std::memcpy(out, in, 3);
        break;
    case PixelFormat16bppRGB555:
    case PixelFormat16bppARGB1555: {
        const unsigned v = word(in);
        out[0] = std::uint8_t((v & 0x1F) << 3);
        out[1] = std::uint8_t(((v >> 5) & 0x1F) << 3);
        out[2] = std::uint8_t(((v >> 10) & 0x1F) << 3);
        break;
    }
    case PixelFormat16bppRGB565: {
        const unsigned v = word(in);
        out[0] = std::uint8_t((v & 0x1F) << 3);
        out[1] = std::uint8_t(((v >> 5) & 0x3F) << 2);
        out[2] = std::uint8_t(((v >> 11) & 0x1F) << 3);
        break;
    }
    case PixelFormat16bppGrayScale:
        std::memcpy(out, in, 2);
        break;
    case PixelFormat64bppARGB:
        std::memcpy(out, in, 6);
        break;
    }
}

int pixelBytes(std::uint32_t format)
{
    return int((format >> 8) & 0xFF) / 8;
}

bool convertDirect(ImageBuffer* target, const PixelRows& rows)
{
    const Layout layout = layoutOf(rows.format);
    ImageBuffer result {};
    if (layout.channels == 0
        || allocateImage(&result, rows.width, rows.height, layout.channels, layout.bits) != 0)
        return true;
    const int inBytes = pixelBytes(rows.format);
    const int outBytes = layout.channels * bytesPerSample(layout.bits);
    for (int y = 0; y < rows.height; ++y) {
        const std::uint8_t* in = rows.first + std::int64_t(y) * rows.pitch;
        std::uint8_t* out = result.data + std::int64_t(y) * result.stride;
        for (int x = 0; x < rows.width; ++x, in += inBytes, out += outBytes)
            convertPixel(rows.format, in, out);
    }
    releaseImage(target);
    *target = result;
    return false;
}

// Expands palette indices to blue, green, red; one channel when every entry used is gray.
bool convertIndexed(ImageBuffer* target, const PixelRows& rows)
{
    bool gray = true;
    for (int y = 0; y < rows.height; ++y) {
        const std::uint8_t* in = rows.first + std::int64_t(y) * rows.pitch;
        for (int x = 0; x < rows.width; ++x) {
            if (in[x] >= rows.paletteSize)
                return true;
            const std::uint32_t entry = rows.palette[in[x]];
            const std::uint8_t blue = std::uint8_t(entry);
            const std::uint8_t green = std::uint8_t(entry >> 8);
            const std::uint8_t red = std::uint8_t(entry >> 16);
            gray = gray && red == green && green == blue;
        }
    }
    ImageBuffer result {};
    if (allocateImage(&result, rows.width, rows.height, gray ? 1 : 3, 8) != 0)
        return true;
    for (int y = 0; y < rows.height; ++y) {
        const std::uint8_t* in = rows.first + std::int64_t(y) * rows.pitch;
        std::uint8_t* out = result.data + std::int64_t(y) * result.stride;
        for (int x = 0; x < rows.width; ++x) {
            const std::uint32_t entry = rows.palette[in[x]];
            if (gray) {
                out[x] = std::uint8_t(entry);
            } else {
                out[3 * x] = std::uint8_t(entry);
                out[3 * x + 1] = std::uint8_t(entry >> 8);
                out[3 * x + 2] = std::uint8_t(entry >> 16);
            }
        }
    }
    releaseImage(target);
    *target = result;
    return false;
}

} // namespace

bool isRefusedPixelFormat(std::uint32_t format)
{
    switch (format) {
    case PixelFormatUndefined:
    case PixelFormat1bppIndexed:
    case PixelFormat4bppIndexed:
    case PixelFormat32bppPARGB:
    case PixelFormat48bppRGB:
    case PixelFormat64bppPARGB:
        return true;
    default:
        return false;
    }
}

bool convertPixelRows(ImageBuffer* target, const PixelRows& rows)
{
    if (!rows.first || rows.width < 1 || rows.height < 1 || isRefusedPixelFormat(rows.format))
        return true;
    if (rows.format == PixelFormat8bppIndexed)
        return !rows.palette || convertIndexed(target, rows);
    return convertDirect(target, rows);
}
