#include "pictureFiles/psfPicture.h"

#include "pictureFiles/pictureHeaders.h"
#include "pictureFiles/pictureTruncation.h"
#include "pictureFiles/qimageFile.h"

#include <QImage>
#include <algorithm>
#include <cstring>

namespace {

// The pixel format the file's own header tells apart where the reader would not: 1- and 4-bit
// BMP and PNG pictures (read as 8-bit indexed) and 48-bit PNG colour. 0 when the header says
// nothing the reader does not.
std::uint32_t formatFromHeader(std::string_view file)
{
    const int bitCount = bmpBitCount(file);
    if (bitCount == 1)
        return PixelFormat1bppIndexed;
    if (bitCount == 4)
        return PixelFormat4bppIndexed;
    PngHeader png {};
    if (!readPngHeader(file, &png)) {
        const bool grayOrPalette = png.colourType == 0 || png.colourType == 3;
        if (grayOrPalette && png.bitDepth == 1)
            return PixelFormat1bppIndexed;
        if (grayOrPalette && (png.bitDepth == 2 || png.bitDepth == 4))
            return PixelFormat4bppIndexed;
        if (png.colourType == 2 && png.bitDepth == 16)
            return PixelFormat48bppRGB;
    }
    return PixelFormatUndefined;
}

void takeRows(DecodedPicture* picture, const QImage& image, std::uint32_t format)
{
    picture->format = format;
    picture->width = image.width();
    picture->height = image.height();
    picture->pitch = int(image.bytesPerLine());
    const auto* bits = image.constBits();
    picture->pixels.assign(bits, bits + image.sizeInBytes());
}

// 64-bit pixels of the reader hold red, green, blue, alpha words; the decoder format holds
// blue, green, red, alpha.
void swapRedAndBlueWords(DecodedPicture* picture)
{
    for (int y = 0; y < picture->height; ++y) {
        std::uint8_t* pixel = picture->pixels.data() + std::size_t(y) * picture->pitch;
        for (int x = 0; x < picture->width; ++x, pixel += 8) {
            std::uint8_t red[2];
            std::memcpy(red, pixel, 2);
            std::memcpy(pixel, pixel + 4, 2);
            std::memcpy(pixel + 4, red, 2);
        }
    }
}

void takeImage(DecodedPicture* picture, QImage image)
{
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        picture->format = PixelFormat1bppIndexed;
        return;
    case QImage::Format_Indexed8: {
        takeRows(picture, image, PixelFormat8bppIndexed);
        const QList<QRgb> table = image.colorTable();
        picture->palette.assign(table.begin(), table.end());
        return;
    }
    case QImage::Format_Grayscale8: // as an indexed picture with a gray ramp
        takeRows(picture, image, PixelFormat8bppIndexed);
        for (std::uint32_t v = 0; v < 256; ++v)
            picture->palette.push_back(0xFF000000u | v << 16 | v << 8 | v);
        return;
    case QImage::Format_Grayscale16:
        takeRows(picture, image, PixelFormat16bppGrayScale);
        return;
    case QImage::Format_RGB16:
        takeRows(picture, image, PixelFormat16bppRGB565);
        return;
    case QImage::Format_RGB555:
        takeRows(picture, image, PixelFormat16bppRGB555);
        return;
    case QImage::Format_RGB32:
        takeRows(picture, image, PixelFormat32bppRGB);
        return;
    case QImage::Format_ARGB32:
        takeRows(picture, image, PixelFormat32bppARGB);
        return;
    case QImage::Format_BGR888:
        takeRows(picture, image, PixelFormat24bppRGB);
        return;
    case QImage::Format_RGB888:
        takeRows(picture, image.convertToFormat(QImage::Format_BGR888), PixelFormat24bppRGB);
        return;
    case QImage::Format_RGBX64:
        picture->format = PixelFormat48bppRGB;
        return;
    case QImage::Format_RGBA64:
        takeRows(picture, image, PixelFormat64bppARGB);
        swapRedAndBlueWords(picture);
        return;
    case QImage::Format_RGBA64_Premultiplied:
        picture->format = PixelFormat64bppPARGB;
        return;
    default:
        // The reader premultiplies the alpha of some formats (8-bit RGBA TIFF) on its own; the
        // file holds straight colours, as do the remaining 8-bit layouts.
        if (image.hasAlphaChannel())
            takeRows(picture, image.convertToFormat(QImage::Format_ARGB32), PixelFormat32bppARGB);
        else
            takeRows(picture, image.convertToFormat(QImage::Format_RGB32), PixelFormat32bppRGB);
        return;
    }
}

} // namespace

PixelRows DecodedPicture::rows() const
{
    PixelRows rows;
    rows.first = pixels.empty() ? nullptr : pixels.data();
    rows.pitch = pitch;
    rows.width = width;
    rows.height = height;
    rows.format = format;
    rows.palette = palette.empty() ? nullptr : palette.data();
    rows.paletteSize = int(palette.size());
    return rows;
}

bool decodePicture(const std::string& path, DecodedPicture* picture, std::string* reason)
{
    *picture = DecodedPicture {};
    std::string bytes;
    if (readPictureBytes(path, &bytes, reason) != PictureReadStatus::Read)
        return true;
    return decodePictureData(bytes, picture, reason);
}

bool decodePictureData(const std::string& bytes, DecodedPicture* picture, std::string* reason)
{
    *picture = DecodedPicture {};
    // A format the header tells apart is refused anyway: its pixels need not be decoded, only
    // the file must be whole.
    if (const std::uint32_t headerFormat = formatFromHeader(bytes);
        headerFormat != PixelFormatUndefined) {
        if (pictureEndsEarly(bytes)) {
            *reason = "the file is truncated";
            return true;
        }
        picture->format = headerFormat;
        return false;
    }
    QImage image;
    if (decodePictureBytes(bytes, &image, reason, false) != PictureReadStatus::Read)
        return true;
    takeImage(picture, std::move(image));
    return false;
}

PsfPictureStatus readPsfPicture(const std::string& path, ImageBuffer* target, std::string* reason)
{
    DecodedPicture picture;
    if (decodePicture(path, &picture, reason))
        return PsfPictureStatus::Unreadable;
    if (isRefusedPixelFormat(picture.format)) {
        *reason = "pixel format not supported";
        return PsfPictureStatus::NotSupported;
    }
    if (convertPixelRows(target, picture.rows())) {
        *reason = "pixel layout not supported, or out of memory";
        return PsfPictureStatus::Unreadable;
    }
    return PsfPictureStatus::Loaded;
}
