#include "pictureFiles/grayAlphaPng.h"

#include <QColorSpace>
#include <csetjmp>
#include <new>
#include <png.h>
#include <vector>

namespace {

struct Output {
    QByteArray* bytes;
    bool outOfMemory = false;
};

void appendBytes(png_structp png, png_bytep data, png_size_t size)
{
    auto* output = static_cast<Output*>(png_get_io_ptr(png));
    try {
        output->bytes->append(reinterpret_cast<const char*>(data), qsizetype(size));
    } catch (const std::bad_alloc&) {
        output->outOfMemory = true;
        png_error(png, "out of memory");
    }
}

void flushNothing(png_structp) { }

// libpng's messages are not printed (the caller gives the reason); an error ends the write.
[[noreturn]] void stopOnError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) { }

// libpng leaves through longjmp on an error: nothing with a destructor may live in this frame
// beyond what it is given. Returns true when libpng failed.
bool writeRows(png_structp png, png_infop info, const QImage& image, int level,
    const QByteArray& profile, std::vector<png_bytep>* rows)
{
    if (setjmp(png_jmpbuf(png)))
        return true;
    const bool deep = image.format() == QImage::Format_RGBA64;
    png_set_IHDR(png, info, png_uint_32(image.width()), png_uint_32(image.height()), deep ? 16 : 8,
        PNG_COLOR_TYPE_GRAY_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
        PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, level);
    if (!profile.isEmpty())
        png_set_iCCP(png, info, "ICC profile", PNG_COMPRESSION_TYPE_BASE,
            reinterpret_cast<png_const_bytep>(profile.constData()), png_uint_32(profile.size()));
    png_write_info(png, info);
    if (deep)
        png_set_swap(png); // PNG holds 16-bit samples big-endian
    png_write_image(png, rows->data());
    png_write_end(png, info);
    return false;
}

} // namespace

bool encodeGrayAlphaPng(const QImage& image, int level, QByteArray* bytes, std::string* reason)
{
    const bool deep = image.format() == QImage::Format_RGBA64;
    if (!deep && image.format() != QImage::Format_RGBA8888) {
        *reason = "the picture cannot be written as gray with alpha";
        return true;
    }
    bytes->clear();
    // Gray, alpha pairs row by row, from the red and alpha channels.
    const int sampleBytes = deep ? 2 : 1;
    const std::size_t rowBytes = std::size_t(image.width()) * 2 * sampleBytes;
    std::vector<std::uint8_t> pairs;
    std::vector<png_bytep> rows;
    try {
        pairs.resize(rowBytes * std::size_t(image.height()));
        rows.resize(std::size_t(image.height()));
    } catch (const std::bad_alloc&) {
        *reason = "not enough memory to encode the picture";
        return true;
    }
    for (int y = 0; y < image.height(); ++y) {
        std::uint8_t* out = pairs.data() + rowBytes * std::size_t(y);
        rows[std::size_t(y)] = out;
        const std::uint8_t* in = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            for (int b = 0; b < sampleBytes; ++b) {
                out[(2 * x) * sampleBytes + b] = in[(4 * x) * sampleBytes + b];
                out[(2 * x + 1) * sampleBytes + b] = in[(4 * x + 3) * sampleBytes + b];
            }
        }
    }
    const QByteArray profile
        = image.colorSpace().isValid() ? image.colorSpace().iccProfile() : QByteArray();

    png_structp png
        = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, stopOnError, ignoreWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        *reason = "not enough memory to encode the picture";
        return true;
    }
    Output output {bytes};
    png_set_write_fn(png, &output, appendBytes, flushNothing);
    const bool failed = writeRows(png, info, image, level, profile, &rows);
    png_destroy_write_struct(&png, &info);
    if (failed) {
        bytes->clear();
        *reason = output.outOfMemory ? "not enough memory to encode the picture"
                                     : "the picture could not be encoded";
        return true;
    }
    return false;
}
