#include "hostStandIn/imageFile.h"

#include "pictureFiles/pictureHeaders.h"
#include "pictureFiles/qimageFile.h"
#include "pictureFiles/tiffWithAlpha.h"
#include "platform/libraryNoise.h"
#include "platform/wholeFiles.h"

#include <QImage>
#include <algorithm>
#include <cstring>
#include <new>

namespace {

// PNG colour type 4 and TIFF gray with an alpha sample; Qt reads them as RGBA.
bool isGrayAlphaFile(const std::string& file)
{
    PngHeader png {};
    return (!readPngHeader(file, &png) && png.colourType == 4) || isGrayAlphaTiff(file);
}

bool isSixteenBit(QImage::Format format)
{
    return format == QImage::Format_Grayscale16 || format == QImage::Format_RGBX64
        || format == QImage::Format_RGBA64 || format == QImage::Format_RGBA64_Premultiplied;
}

// Qt's layout of each document form: the format and which of its channels are the planes.
QImage::Format qtFormatOf(int planes, int depth)
{
    const bool deep = depth == 16;
    switch (planes) {
    case 1:
        return deep ? QImage::Format_Grayscale16 : QImage::Format_Grayscale8;
    case 3:
        return deep ? QImage::Format_RGBX64 : QImage::Format_RGB888;
    default:
        return deep ? QImage::Format_RGBA64 : QImage::Format_RGBA8888;
    }
}

// Channel of the Qt pixel that holds each plane, and Qt's channels per pixel.
int qtChannel(int planes, int plane)
{
    return planes == 2 && plane == 1 ? 3 : plane;
}

int qtChannels(int planes, int depth)
{
    if (planes == 1)
        return 1;
    return planes == 3 && depth == 8 ? 3 : 4; // RGBX64 keeps a fourth, unused word
}

} // namespace

bool readImageFile(const std::string& path, HostImage* image, std::string* error)
{
    std::string bytes;
    QImage read;
    {
        const LibraryNoiseMute quiet;
        if (readPictureFile(path, &read, error, false, &bytes) != PictureReadStatus::Read) {
            *error = path + ": " + *error;
            return true;
        }
    }
    const int depth = isSixteenBit(read.format()) ? 16 : 8;
    int planes = read.hasAlphaChannel() ? 4 : 3;
    if (read.format() == QImage::Format_Grayscale8 || read.format() == QImage::Format_Grayscale16
        || (read.isGrayscale() && !read.hasAlphaChannel()))
        planes = 1;
    else if (isGrayAlphaFile(bytes))
        planes = 2;
    const QImage qt = read.convertToFormat(qtFormatOf(planes, depth));
    if (qt.isNull()) {
        *error = path + ": not enough memory for the picture";
        return true;
    }
    try {
        allocateHostImage(image, qt.width(), qt.height(), planes, depth);
    } catch (const std::bad_alloc&) {
        *error = path + ": not enough memory for the picture";
        return true;
    }
    const int channels = qtChannels(planes, depth);
    for (int y = 0; y < qt.height(); ++y) {
        const uchar* line = qt.constScanLine(y);
        for (int x = 0; x < qt.width(); ++x) {
            for (int plane = 0; plane < planes; ++plane) {
                const int index = x * channels + qtChannel(planes, plane);
                if (depth == 16) {
                    std::uint16_t word = 0;
                    std::memcpy(&word, line + 2 * index, 2);
                    setHostSample(image, x, y, plane, hostOfFile16(word));
                } else {
                    setHostSample(image, x, y, plane, line[index]);
                }
            }
        }
    }
    return false;
}

bool writeImageFile(const std::string& path, const HostImage& image, std::string* error)
{
    const bool deep = image.depth == 16;
    QImage qt(image.width, image.height, qtFormatOf(image.planes, image.depth));
    if (qt.isNull()) {
        *error = "out of memory";
        return true;
    }
    qt.fill(Qt::white);
    const int channels = qtChannels(image.planes, image.depth);
    for (int y = 0; y < image.height; ++y) {
        uchar* line = qt.scanLine(y);
        for (int x = 0; x < image.width; ++x) {
            for (int plane = 0; plane < image.planes; ++plane) {
                const int value = hostSample(image, x, y, plane);
                // Gray with transparency repeats its gray sample in red, green and blue.
                const int copies = image.planes == 2 && plane == 0 ? 3 : 1;
                for (int copy = 0; copy < copies; ++copy) {
                    const int index = x * channels + qtChannel(image.planes, plane) + copy;
                    if (deep) {
                        const std::uint16_t word = std::uint16_t(fileOfHost16(value));
                        std::memcpy(line + 2 * index, &word, 2);
                    } else {
                        line[index] = uchar(value);
                    }
                }
            }
        }
    }
    const std::size_t dot = path.rfind('.');
    const std::string suffix = dot == std::string::npos || path.find('/', dot) != std::string::npos
        ? std::string()
        : QString::fromStdString(path.substr(dot + 1)).toLower().toStdString();
    QByteArray encoded;
    {
        const LibraryNoiseMute quiet;
        const bool grayWithAlpha
            = image.planes == 2 && (suffix == "png" || suffix == "tif" || suffix == "tiff");
        const bool failed = grayWithAlpha
            ? encodeGrayAlphaPicture(qt, suffix == "png" ? "png" : "tiff", -1, &encoded, error)
            : encodePicture(qt, suffix.c_str(), -1, &encoded, error);
        if (failed) {
            *error = path + ": " + *error;
            return true;
        }
    }
    if (writeFileAtomically(
            path, std::string_view(encoded.constData(), std::size_t(encoded.size())), error)
        != FileWriteStatus::Written) {
        *error = path + ": " + *error;
        return true;
    }
    return false;
}
