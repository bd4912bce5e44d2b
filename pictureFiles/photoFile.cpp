#include "pictureFiles/photoFile.h"

#include "pictureFiles/pictureHeaders.h"
#include "pictureFiles/qimageFile.h"
#include "pictureFiles/tiffWithAlpha.h"
#include "platform/libraryNoise.h"
#include "platform/wholeFiles.h"

#include <QColorSpace>
#include <QImage>
#include <climits>
#include <cstring>

namespace {

std::string lowerExtension(const std::string& path)
{
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos)
        return {};
    std::string extension = path.substr(dot + 1);
    for (char& c : extension)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

// A PNG's own colour type 0 or 4 (gray, gray with alpha), or a TIFF of gray with alpha: the
// reader turns gray with alpha into colour, but the photo should stay gray.
bool isGrayFile(const std::string& file)
{
    PngHeader png {};
    return (!readPngHeader(file, &png) && (png.colourType == 0 || png.colourType == 4))
        || isGrayAlphaTiff(file);
}

// Copies the channels of a QImage pixel row into the photo's records.
template <typename Sample>
void splitRow(const Sample* in, int inChannels, int width, const int* order, int channels,
    Sample* out, Sample* alphaOut, int alphaIndex)
{
    for (int x = 0; x < width; ++x, in += inChannels) {
        for (int c = 0; c < channels; ++c)
            out[channels * x + c] = in[order[c]];
        if (alphaOut)
            alphaOut[x] = in[alphaIndex];
    }
}

bool allocatePhoto(Photo* photo, const QImage& image, int channels, int bits, bool alpha)
{
    if (allocateImage(photo->pixels.get(), image.width(), image.height(), channels, bits) != 0)
        return true;
    return alpha && allocateImage(photo->alpha.get(), image.width(), image.height(), 1, bits) != 0;
}

// The image in one of four layouts: Grayscale8, Grayscale16, RGBA8888 or RGBA64 (straight
// alpha), and how its channels map onto blue, green, red.
bool takeImage(Photo* photo, QImage image, bool gray)
{
    const bool alpha = image.hasAlphaChannel();
    const bool deep = image.depth() > 32 || image.format() == QImage::Format_Grayscale16;
    if (gray && !alpha) {
        image.convertTo(deep ? QImage::Format_Grayscale16 : QImage::Format_Grayscale8);
        const int bits = deep ? 16 : 8;
        if (allocatePhoto(photo, image, 1, bits, false))
            return true;
        const std::size_t rowBytes = std::size_t(photo->pixels->stride);
        for (int y = 0; y < image.height(); ++y)
            std::memcpy(photo->pixels->data + std::int64_t(y) * photo->pixels->stride,
                image.constScanLine(y), rowBytes);
        return false;
    }
    image.convertTo(deep ? QImage::Format_RGBA64 : QImage::Format_RGBA8888);
    const int channels = gray ? 1 : 3;
    const int bgr[3] = {2, 1, 0};
    const int grayOrder[1] = {0};
    const int* order = gray ? grayOrder : bgr;
    if (allocatePhoto(photo, image, channels, deep ? 16 : 8, alpha))
        return true;
    for (int y = 0; y < image.height(); ++y) {
        std::uint8_t* out = photo->pixels->data + std::int64_t(y) * photo->pixels->stride;
        std::uint8_t* alphaOut
            = alpha ? photo->alpha->data + std::int64_t(y) * photo->alpha->stride : nullptr;
        if (deep)
            splitRow(reinterpret_cast<const std::uint16_t*>(image.constScanLine(y)), 4,
                image.width(), order, channels, reinterpret_cast<std::uint16_t*>(out),
                reinterpret_cast<std::uint16_t*>(alphaOut), 3);
        else
            splitRow(image.constScanLine(y), 4, image.width(), order, channels, out, alphaOut, 3);
    }
    return false;
}

// Copies the record's channels (blue, green, red, or gray) and the alpha plane into a QImage
// row of red, green, blue, alpha.
template <typename Sample>
void mergeRow(
    const Sample* in, int channels, int width, const Sample* alphaIn, Sample opaque, Sample* out)
{
    for (int x = 0; x < width; ++x, in += channels, out += 4) {
        for (int c = 0; c < 3; ++c)
            out[c] = in[channels == 1 ? 0 : 2 - c];
        out[3] = alphaIn ? alphaIn[x] : opaque;
    }
}

// The QImage that holds the photo for writing; null when memory is short.
QImage composeImage(
    const ImageBuffer& pixels, const ImageBuffer& alphaPlane, bool eightBitOnly, bool dropAlpha)
{
    const bool deep = pixels.bitsPerChannel == 16;
    const bool alpha = alphaPlane.data && !dropAlpha;
    if (pixels.channels == 1 && !alpha) {
        QImage image(pixels.width, pixels.height,
            deep ? QImage::Format_Grayscale16 : QImage::Format_Grayscale8);
        for (int y = 0; !image.isNull() && y < pixels.height; ++y)
            std::memcpy(image.scanLine(y), pixels.data + std::int64_t(y) * pixels.stride,
                std::size_t(pixels.stride));
        if (deep && eightBitOnly)
            image.convertTo(QImage::Format_Grayscale8);
        return image;
    }
    // Colour, or gray with alpha (which the writers hold only as colour with alpha).
    QImage image(pixels.width, pixels.height,
        deep ? (alpha ? QImage::Format_RGBA64 : QImage::Format_RGBX64)
             : (alpha ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888));
    for (int y = 0; !image.isNull() && y < pixels.height; ++y) {
        const std::uint8_t* in = pixels.data + std::int64_t(y) * pixels.stride;
        const std::uint8_t* alphaIn
            = alpha ? alphaPlane.data + std::int64_t(y) * alphaPlane.stride : nullptr;
        if (deep)
            mergeRow(reinterpret_cast<const std::uint16_t*>(in), pixels.channels, pixels.width,
                reinterpret_cast<const std::uint16_t*>(alphaIn), std::uint16_t(0xFFFF),
                reinterpret_cast<std::uint16_t*>(image.scanLine(y)));
        else
            mergeRow(
                in, pixels.channels, pixels.width, alphaIn, std::uint8_t(0xFF), image.scanLine(y));
    }
    if (deep && eightBitOnly)
        image.convertTo(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    return image;
}

// The pixels of a photo must fit one image record (at most 2 GiB).
bool fitsImageRecord(const QImage& image)
{
    const std::int64_t sampleBytes = image.depth() > 32 || image.depth() == 16 ? 2 : 1;
    return std::int64_t(image.width()) * image.height() * 3 * sampleBytes <= INT32_MAX;
}

} // namespace

void quietPictureLibraries()
{
    static QtMessageHandler next = nullptr;
    next = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            const bool remark = type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg;
            if (remark && context.category && std::strcmp(context.category, "qt.gui.imageio") == 0)
                return;
            if (next)
                next(type, context, message);
        });
}

PhotoReadStatus readPhoto(const std::string& path, Photo* photo, std::string* reason)
{
    std::string bytes;
    QImage image;
    {
        const LibraryNoiseMute quiet;
        const PictureReadStatus status = readPictureFile(path, &image, reason, true, &bytes);
        if (status == PictureReadStatus::OutOfMemory)
            return PhotoReadStatus::OutOfMemory;
        if (status != PictureReadStatus::Read)
            return PhotoReadStatus::BadFile;
    }
    if (!fitsImageRecord(image)) {
        *reason = "the picture is too large (" + std::to_string(image.width()) + " x "
            + std::to_string(image.height()) + " pixels)";
        return PhotoReadStatus::BadFile;
    }
    const QByteArray profile = image.colorSpace().iccProfile();
    photo->iccProfile.assign(profile.constData(), std::size_t(profile.size()));
    const bool gray = isGrayFile(bytes) || image.format() == QImage::Format_Grayscale8
        || image.format() == QImage::Format_Grayscale16
        || (image.format() == QImage::Format_Indexed8 && image.isGrayscale())
        || image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB;
    std::string().swap(bytes);
    if (takeImage(photo, std::move(image), gray)) {
        *photo = Photo {};
        *reason = "not enough memory for the picture";
        return PhotoReadStatus::OutOfMemory;
    }
    return PhotoReadStatus::Read;
}

bool isWritablePhotoPath(const std::string& path)
{
    const std::string extension = lowerExtension(path);
    return extension == "png" || extension == "tif" || extension == "tiff" || extension == "jpg"
        || extension == "jpeg" || extension == "bmp";
}

PhotoWriteStatus writePhoto(const std::string& path, const ImageBuffer& pixels,
    const ImageBuffer& alpha, const std::string& iccProfile, std::string* reason,
    bool (*cancelled)())
{
    if (!isWritablePhotoPath(path)) {
        *reason = UnwritablePathReason;
        return PhotoWriteStatus::Failed;
    }
    const std::string extension = lowerExtension(path);
    const bool jpeg = extension == "jpg" || extension == "jpeg";
    const bool bmp = extension == "bmp";
    QByteArray encoded;
    {
        // JPEG and BMP hold 8-bit samples only, and JPEG no alpha.
        QImage image = composeImage(pixels, alpha, jpeg || bmp, jpeg);
        if (image.isNull()) {
            *reason = "not enough memory for the picture";
            return PhotoWriteStatus::Failed;
        }
        if (!iccProfile.empty())
            image.setColorSpace(QColorSpace::fromIccProfile(
                QByteArray(iccProfile.data(), qsizetype(iccProfile.size()))));
        const LibraryNoiseMute quiet;
        // PNG at Qt's quality 80, zlib's fastest level: about 3.5 times faster to write than
        // the default, for files about 6 % larger.
        const bool png = extension == "png";
        const char* format = jpeg ? "jpeg" : (png ? "png" : (bmp ? "bmp" : "tiff"));
        const int quality = jpeg ? 95 : (png ? 80 : -1);
        const bool grayWithAlpha = pixels.channels == 1 && alpha.data && !jpeg && !bmp;
        if (grayWithAlpha ? encodeGrayAlphaPicture(image, format, quality, &encoded, reason)
                          : encodePicture(image, format, quality, &encoded, reason))
            return PhotoWriteStatus::Failed;
    }
    switch (writeFileAtomically(path,
        std::string_view(encoded.constData(), std::size_t(encoded.size())), reason, cancelled)) {
    case FileWriteStatus::Written:
        return PhotoWriteStatus::Written;
    case FileWriteStatus::Cancelled:
        return PhotoWriteStatus::Cancelled;
    case FileWriteStatus::Failed:
        break;
    }
    return PhotoWriteStatus::Failed;
}

std::string outputPhotoPath(
    const std::string& input, const std::string& folder, const std::string& suffix)
{
    const std::size_t slash = input.rfind('/');
    const std::string name = slash == std::string::npos ? input : input.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    std::string extension = dot == std::string::npos || dot == 0 ? "" : name.substr(dot);
    if (!isWritablePhotoPath("x" + extension))
        extension = ".png";
    const std::string separator = !folder.empty() && folder.back() == '/' ? "" : "/";
    return folder + separator + stem + suffix + extension;
}
