#include "pictureFiles/qimageFile.h"

#include "pictureFiles/grayAlphaPng.h"
#include "pictureFiles/pictureTruncation.h"
#include "pictureFiles/tiffWithAlpha.h"
#include "platform/memoryStatus.h"
#include "platform/wholeFiles.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <algorithm>
#include <climits>
#include <new>
#include <string_view>

namespace {

constexpr long long MiB = 1024 * 1024;

// Files larger than any picture that fits the budget would be, even uncompressed, are refused
// before they are read.
constexpr long long MaxFileBytes = 16LL * 1024 * MiB;

std::string sizeText(QSize size)
{
    return std::to_string(size.width()) + " x " + std::to_string(size.height());
}

// Bytes per decoded pixel, counted as the widest the tool works with (four 16-bit channels):
// readers do not all tell their format reliably before decoding (a damaged JPEG header gives
// an undefined one).
constexpr long long PixelBytes = 8;

bool exceedsBudget(QSize size)
{
    if (!size.isValid())
        return false;
    const long long pixels = static_cast<long long>(size.width()) * size.height();
    return pixels > pictureMemoryBudget() / PixelBytes;
}

} // namespace

long long pictureMemoryBudget()
{
    const long long available = availableMemoryBytes();
    return std::max(256 * MiB, available < 0 ? 4096 * MiB : available / 3);
}

PictureReadStatus readPictureBytes(const std::string& path, std::string* bytes, std::string* reason)
{
    switch (readWholeFile(path, bytes, reason, MaxFileBytes)) {
    case FileReadStatus::Read:
        return PictureReadStatus::Read;
    case FileReadStatus::OutOfMemory:
        return PictureReadStatus::OutOfMemory;
    case FileReadStatus::Unreadable:
        break;
    }
    return PictureReadStatus::Unreadable;
}

PictureReadStatus decodePictureBytes(
    const std::string& bytes, QImage* image, std::string* reason, bool autoTransform)
{
    *image = QImage();
    QByteArray data = QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(autoTransform);
    if (pictureEndsEarly(bytes)) {
        *reason = "the file is truncated";
        return PictureReadStatus::Truncated;
    }
    if (!reader.canRead()) {
        *reason = bytes.empty() ? "the file is empty" : "not a picture format that can be read";
        return PictureReadStatus::NotAPicture;
    }
    // Only the formats whose files are checked for truncation above are read: Qt's other readers
    // (WebP, TGA, PPM ...) would fill a cut-short file's missing rows without a word.
    const QByteArray format = reader.format();
    if (format != "png" && format != "jpeg" && format != "tiff" && format != "bmp"
        && format != "gif") {
        *reason = "a " + format.toUpper().toStdString()
            + " picture, which is not read (PNG, TIFF, JPEG, BMP and GIF are)";
        return PictureReadStatus::NotAPicture;
    }
    // Qt's own limit (128 MiB by default) would refuse ordinary large photographs; the budget
    // replaces it, and a header claiming more than that (a decompression bomb) is refused
    // before any pixel is decoded.
    const QSize size = reader.size();
    const long long budget = pictureMemoryBudget();
    if (exceedsBudget(size)) {
        *reason
            = "the picture is too large (" + sizeText(size) + " pixels) for the memory available";
        return PictureReadStatus::TooLarge;
    }
    reader.setAllocationLimit(int(std::min<long long>(INT_MAX, budget / MiB + 1)));
    if (format == "tiff") {
        switch (readTiffWithAlpha(bytes, image, reason)) {
        case TiffAlphaRead::Read:
            return PictureReadStatus::Read;
        case TiffAlphaRead::Damaged:
            return PictureReadStatus::Damaged;
        case TiffAlphaRead::OutOfMemory:
            *reason = "not enough memory to decode the picture";
            return PictureReadStatus::OutOfMemory;
        case TiffAlphaRead::Refused:
            return PictureReadStatus::NotAPicture;
        case TiffAlphaRead::NotSuch:
            break;
        }
    }
    bool read = false;
    try {
        read = reader.read(image);
    } catch (const std::bad_alloc&) {
        *image = QImage();
        *reason = "not enough memory to decode the picture";
        return PictureReadStatus::OutOfMemory;
    }
    if (!read) {
        *image = QImage();
        if (exceedsBudget(reader.size())) {
            *reason = "the picture is too large for the memory available";
            return PictureReadStatus::TooLarge;
        }
        *reason = "the picture data is damaged (" + reader.errorString().toStdString() + ")";
        return PictureReadStatus::Damaged;
    }
    return PictureReadStatus::Read;
}

PictureReadStatus readPictureFile(const std::string& path, QImage* image, std::string* reason,
    bool autoTransform, std::string* bytes)
{
    std::string contents;
    std::string& file = bytes ? *bytes : contents;
    const PictureReadStatus status = readPictureBytes(path, &file, reason);
    if (status != PictureReadStatus::Read)
        return status;
    return decodePictureBytes(file, image, reason, autoTransform);
}

bool encodePicture(
    const QImage& image, const char* format, int quality, QByteArray* bytes, std::string* reason)
{
    bytes->clear();
    QBuffer buffer(bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    bool written = false;
    try {
        written = writer.write(image);
    } catch (const std::bad_alloc&) {
        *reason = "not enough memory to encode the picture";
        bytes->clear();
        return true;
    }
    if (!written) {
        *reason = "the picture could not be encoded (" + writer.errorString().toStdString() + ")";
        bytes->clear();
        return true;
    }
    return false;
}

bool encodeGrayAlphaPicture(
    const QImage& image, const char* format, int quality, QByteArray* bytes, std::string* reason)
{
    if (std::string_view(format) == "tiff")
        return encodeGrayAlphaTiff(image, bytes, reason);
    // Qt's PNG writer maps its quality 0..100 onto zlib's levels 9..0 this way.
    const int level = quality < 0 ? 6 : (100 - std::min(quality, 100)) * 9 / 91;
    return encodeGrayAlphaPng(image, level, bytes, reason);
}
