#include "pictureFiles/tiffWithAlpha.h"

#include <QColorSpace>
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <tiffio.h>
#include <vector>

namespace {

// A file in memory for libtiff: the bytes read, or those written so far.
struct MemoryFile {
    std::string data;
    toff_t position = 0;
    std::string firstError;
};

tmsize_t readBytes(thandle_t handle, void* buffer, tmsize_t size)
{
    auto* file = static_cast<MemoryFile*>(handle);
    if (size < 0 || file->position >= file->data.size())
        return 0;
    const std::size_t count = std::min<std::size_t>(size, file->data.size() - file->position);
    std::memcpy(buffer, file->data.data() + file->position, count);
    file->position += count;
    return tmsize_t(count);
}

tmsize_t writeBytes(thandle_t handle, void* buffer, tmsize_t size)
{
    auto* file = static_cast<MemoryFile*>(handle);
    if (size < 0)
        return 0;
    try {
        if (file->data.size() < file->position + std::size_t(size))
            file->data.resize(file->position + std::size_t(size));
    } catch (const std::bad_alloc&) {
        return 0;
    }
    std::memcpy(file->data.data() + file->position, buffer, std::size_t(size));
    file->position += std::size_t(size);
    return size;
}

toff_t seekTo(thandle_t handle, toff_t offset, int whence)
{
    auto* file = static_cast<MemoryFile*>(handle);
    const toff_t base = whence == SEEK_CUR ? file->position
        : whence == SEEK_END               ? file->data.size()
                                           : 0;
    file->position = base + offset;
    return file->position;
}

int closeFile(thandle_t)
{
    return 0;
}

toff_t fileSize(thandle_t handle)
{
    return static_cast<MemoryFile*>(handle)->data.size();
}

int mapNothing(thandle_t, void**, toff_t*)
{
    return 0;
}

void unmapNothing(thandle_t, void*, toff_t) { }

// libtiff's messages are kept (the first error says why a file is damaged), never printed.
int keepError(TIFF*, void* user, const char*, const char* format, va_list arguments)
{
    auto* file = static_cast<MemoryFile*>(user);
    if (file->firstError.empty()) {
        char text[256];
        std::vsnprintf(text, sizeof text, format, arguments);
        file->firstError = text;
    }
    return 1;
}

int ignoreWarning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using Tiff = std::unique_ptr<TIFF, TiffCloser>;

Tiff openTiff(MemoryFile* file, const char* mode)
{
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options)
        return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(options, keepError, file);
    TIFFOpenOptionsSetWarningHandlerExtR(options, ignoreWarning, file);
    TIFF* tiff = TIFFClientOpenExt("memory", mode, file, readBytes, writeBytes, seekTo, closeFile,
        fileSize, mapNothing, unmapNothing, options);
    TIFFOpenOptionsFree(options);
    return Tiff(tiff);
}

bool hasTiffSignature(const std::string& bytes)
{
    return bytes.compare(0, 4, std::string_view("II*\0", 4)) == 0
        || bytes.compare(0, 4, std::string_view("MM\0*", 4)) == 0;
}

struct AlphaLayout {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int bits = 0; // 8 or 16
    int samples = 0; // 2 (gray, alpha) or 4 (red, green, blue, alpha)
    bool associated = false; // colours premultiplied by alpha
    bool separatePlanes = false;
    bool tiled = false;
};

// The layout of the first picture in `tiff` when it is one read here.
bool alphaLayoutOf(TIFF* tiff, AlphaLayout* layout)
{
    std::uint16_t bits = 0;
    std::uint16_t samples = 0;
    std::uint16_t photometric = 0;
    std::uint16_t sampleFormat = SAMPLEFORMAT_UINT;
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    std::uint16_t extraCount = 0;
    std::uint16_t* extraTypes = nullptr;
    if (!TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &layout->width)
        || !TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &layout->height)
        || !TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric)
        || !TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits)
        || !TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples)
        || !TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &extraCount, &extraTypes))
        return false;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &sampleFormat);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ORIENTATION, &orientation);
    const bool gray = photometric == PHOTOMETRIC_MINISBLACK && samples == 2;
    const bool colour = photometric == PHOTOMETRIC_RGB && samples == 4;
    layout->bits = bits;
    layout->samples = samples;
    layout->associated = extraTypes && extraTypes[0] == EXTRASAMPLE_ASSOCALPHA;
    layout->separatePlanes = planar == PLANARCONFIG_SEPARATE;
    layout->tiled = TIFFIsTiled(tiff) != 0;
    return (gray || colour) && extraCount == 1 && (bits == 8 || bits == 16)
        && sampleFormat == SAMPLEFORMAT_UINT && orientation == ORIENTATION_TOPLEFT
        && layout->width > 0 && layout->height > 0 && !(layout->tiled && layout->separatePlanes);
}

// Why a TIFF is not read at all, or null. Qt's reader would take signed samples as unsigned
// (-20000 becomes 45536), and it drops or damages alpha in the layouts that alphaLayoutOf does
// not take: a picture with alpha never goes to it.
const char* refusedLayout(TIFF* tiff)
{
    std::uint16_t sampleFormat = SAMPLEFORMAT_UINT;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &sampleFormat);
    if (sampleFormat == SAMPLEFORMAT_INT)
        return "a TIFF of signed samples, which is not read";
    std::uint16_t extraCount = 0;
    std::uint16_t* extraTypes = nullptr;
    // Floating-point samples are Qt's to read, alpha or not.
    if (sampleFormat == SAMPLEFORMAT_IEEEFP
        || !TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &extraCount, &extraTypes) || extraCount == 0)
        return nullptr;
    std::uint16_t photometric = 0;
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    std::uint16_t bits = 0;
    TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ORIENTATION, &orientation);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    if (photometric != PHOTOMETRIC_MINISBLACK && photometric != PHOTOMETRIC_RGB)
        return "a TIFF with alpha in a colour model other than gray or RGB (palette, CMYK, "
               "white-is-zero ...), which is not read";
    if (extraCount > 1)
        return "a TIFF with more than one extra sample, which is not read";
    if (orientation != ORIENTATION_TOPLEFT)
        return "a TIFF with alpha stored in an orientation other than top-left, which is not read";
    if (bits != 8 && bits != 16)
        return "a TIFF with alpha at other than 8 or 16 bits, which is not read";
    if (TIFFIsTiled(tiff) && planar == PLANARCONFIG_SEPARATE)
        return "a TIFF with alpha in tiles of separate planes, which is not read";
    return nullptr;
}

// One pixel's samples (gray or red, green, blue, then alpha) into a straight-alpha RGBA pixel.
template <typename Sample>
void storePixel(const Sample* in, int samples, bool associated, Sample* out)
{
    constexpr unsigned maximum = sizeof(Sample) == 1 ? 0xFFu : 0xFFFFu;
    const unsigned alpha = in[samples - 1];
    for (int c = 0; c < 3; ++c) {
        unsigned value = in[samples == 2 ? 0 : c];
        if (associated)
            value = alpha == 0 ? 0 : std::min(maximum, (value * maximum + alpha / 2) / alpha);
        out[c] = Sample(value);
    }
    out[3] = Sample(alpha);
}

template <typename Sample>
void storeRow(QImage* image, int y, int x0, int count, const Sample* in, int inStride,
    const AlphaLayout& layout)
{
    auto* out = reinterpret_cast<Sample*>(image->scanLine(y)) + 4 * std::size_t(x0);
    for (int x = 0; x < count; ++x, in += inStride, out += 4)
        storePixel(in, layout.samples, layout.associated, out);
}

template <typename Sample> bool readStrips(TIFF* tiff, const AlphaLayout& layout, QImage* image)
{
    const tmsize_t lineBytes = TIFFScanlineSize(tiff);
    if (lineBytes <= 0)
        return true;
    std::vector<std::uint8_t> line(static_cast<std::size_t>(lineBytes));
    if (!layout.separatePlanes) {
        for (std::uint32_t y = 0; y < layout.height; ++y) {
            if (TIFFReadScanline(tiff, line.data(), y, 0) < 0)
                return true;
            storeRow(image, int(y), 0, int(layout.width),
                reinterpret_cast<const Sample*>(line.data()), layout.samples, layout);
        }
        return false;
    }
    // Separate planes are read one whole plane after another: inside a compressed strip of
    // several rows libtiff reads forward only, so a plane's rows cannot alternate with another's.
    // The samples are interleaved as in a contiguous picture on the way.
    const int planes = layout.samples;
    std::vector<Sample> pixels(std::size_t(layout.width) * layout.height * planes);
    for (int plane = 0; plane < planes; ++plane) {
        for (std::uint32_t y = 0; y < layout.height; ++y) {
            if (TIFFReadScanline(tiff, line.data(), y, std::uint16_t(plane)) < 0)
                return true;
            const auto* planeSamples = reinterpret_cast<const Sample*>(line.data());
            Sample* row = pixels.data() + std::size_t(y) * layout.width * planes;
            for (std::uint32_t x = 0; x < layout.width; ++x)
                row[std::size_t(x) * planes + plane] = planeSamples[x];
        }
    }
    for (std::uint32_t y = 0; y < layout.height; ++y)
        storeRow(image, int(y), 0, int(layout.width),
            pixels.data() + std::size_t(y) * layout.width * planes, layout.samples, layout);
    return false;
}

template <typename Sample> bool readTiles(TIFF* tiff, const AlphaLayout& layout, QImage* image)
{
    std::uint32_t tileWidth = 0;
    std::uint32_t tileHeight = 0;
    TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &tileWidth);
    TIFFGetField(tiff, TIFFTAG_TILELENGTH, &tileHeight);
    const tmsize_t tileBytes = TIFFTileSize(tiff);
    if (tileWidth == 0 || tileHeight == 0 || tileBytes <= 0)
        return true;
    // A tile may overhang the picture, but one far larger than it is a lie that would take
    // gigabytes for a few pixels: no encoder needs more than the picture rounded up to tiles of
    // 256 on a side.
    const auto roundedUp
        = [](std::uint32_t size) { return (std::uint64_t(size) + 255) / 256 * 256; };
    if (tileWidth > roundedUp(layout.width) || tileHeight > roundedUp(layout.height))
        return true;
    std::vector<std::uint8_t> tile(static_cast<std::size_t>(tileBytes));
    for (std::uint32_t top = 0; top < layout.height; top += tileHeight) {
        for (std::uint32_t left = 0; left < layout.width; left += tileWidth) {
            if (TIFFReadTile(tiff, tile.data(), left, top, 0, 0) < 0)
                return true;
            const std::uint32_t rows = std::min(tileHeight, layout.height - top);
            const std::uint32_t columns = std::min(tileWidth, layout.width - left);
            for (std::uint32_t row = 0; row < rows; ++row) {
                const auto* in = reinterpret_cast<const Sample*>(tile.data())
                    + std::size_t(row) * tileWidth * layout.samples;
                storeRow(
                    image, int(top + row), int(left), int(columns), in, layout.samples, layout);
            }
        }
    }
    return false;
}

} // namespace

TiffAlphaRead readTiffWithAlpha(const std::string& bytes, QImage* image, std::string* reason)
{
    if (!hasTiffSignature(bytes))
        return TiffAlphaRead::NotSuch;
    MemoryFile file;
    AlphaLayout layout;
    try {
        file.data = bytes;
        const Tiff tiff = openTiff(&file, "rm");
        if (!tiff)
            return TiffAlphaRead::NotSuch;
        if (const char* refused = refusedLayout(tiff.get())) {
            *reason = refused;
            return TiffAlphaRead::Refused;
        }
        if (!alphaLayoutOf(tiff.get(), &layout))
            return TiffAlphaRead::NotSuch;
        if (layout.width > std::uint32_t(INT32_MAX / 8) || layout.height > std::uint32_t(INT32_MAX))
            return TiffAlphaRead::NotSuch;
        const bool deep = layout.bits == 16;
        *image = QImage(int(layout.width), int(layout.height),
            deep ? QImage::Format_RGBA64 : QImage::Format_RGBA8888);
        if (image->isNull())
            return TiffAlphaRead::OutOfMemory;
        const bool failed = layout.tiled
            ? (deep ? readTiles<std::uint16_t>(tiff.get(), layout, image)
                    : readTiles<std::uint8_t>(tiff.get(), layout, image))
            : (deep ? readStrips<std::uint16_t>(tiff.get(), layout, image)
                    : readStrips<std::uint8_t>(tiff.get(), layout, image));
        if (failed) {
            *image = QImage();
            *reason = "the picture data is damaged ("
                + (file.firstError.empty() ? std::string("unreadable rows") : file.firstError)
                + ")";
            return TiffAlphaRead::Damaged;
        }
        std::uint32_t profileBytes = 0;
        void* profile = nullptr;
        if (TIFFGetField(tiff.get(), TIFFTAG_ICCPROFILE, &profileBytes, &profile) && profile)
            image->setColorSpace(QColorSpace::fromIccProfile(
                QByteArray(static_cast<const char*>(profile), qsizetype(profileBytes))));
    } catch (const std::bad_alloc&) {
        *image = QImage();
        return TiffAlphaRead::OutOfMemory;
    }
    return TiffAlphaRead::Read;
}

bool isGrayAlphaTiff(const std::string& bytes)
{
    if (!hasTiffSignature(bytes))
        return false;
    MemoryFile file;
    try {
        file.data = bytes;
    } catch (const std::bad_alloc&) {
        return false;
    }
    const Tiff tiff = openTiff(&file, "rm");
    AlphaLayout layout;
    return tiff && alphaLayoutOf(tiff.get(), &layout) && layout.samples == 2;
}

bool encodeGrayAlphaTiff(const QImage& image, QByteArray* bytes, std::string* reason)
{
    const bool deep = image.format() == QImage::Format_RGBA64;
    if (!deep && image.format() != QImage::Format_RGBA8888) {
        *reason = "the picture cannot be written as gray with alpha";
        return true;
    }
    MemoryFile file;
    {
        const Tiff tiff = openTiff(&file, "w");
        if (!tiff) {
            *reason = "not enough memory to encode the picture";
            return true;
        }
        const std::uint16_t alphaType = EXTRASAMPLE_UNASSALPHA;
        TIFF* t = tiff.get();
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, std::uint32_t(image.width()));
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, std::uint32_t(image.height()));
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, std::uint16_t(deep ? 16 : 8));
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, std::uint16_t(2));
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
        TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(t, TIFFTAG_EXTRASAMPLES, std::uint16_t(1), &alphaType);
        TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));
        const QByteArray profile
            = image.colorSpace().isValid() ? image.colorSpace().iccProfile() : QByteArray();
        if (!profile.isEmpty())
            TIFFSetField(t, TIFFTAG_ICCPROFILE, std::uint32_t(profile.size()), profile.constData());
        std::vector<std::uint8_t> line(std::size_t(image.width()) * 2 * (deep ? 2 : 1));
        for (int y = 0; y < image.height(); ++y) {
            if (deep) {
                const auto* in = reinterpret_cast<const std::uint16_t*>(image.constScanLine(y));
                auto* out = reinterpret_cast<std::uint16_t*>(line.data());
                for (int x = 0; x < image.width(); ++x) {
                    out[2 * x] = in[4 * x];
                    out[2 * x + 1] = in[4 * x + 3];
                }
            } else {
                const std::uint8_t* in = image.constScanLine(y);
                for (int x = 0; x < image.width(); ++x) {
                    line[2 * x] = in[4 * x];
                    line[2 * x + 1] = in[4 * x + 3];
                }
            }
            if (TIFFWriteScanline(t, line.data(), std::uint32_t(y), 0) < 0)
                break;
        }
        if (!TIFFFlush(t))
            file.firstError = file.firstError.empty() ? "cannot write" : file.firstError;
    }
    if (!file.firstError.empty()) {
        *reason = "the picture cannot be encoded (" + file.firstError + ")";
        return true;
    }
    *bytes = QByteArray(file.data.data(), qsizetype(file.data.size()));
    return false;
}
