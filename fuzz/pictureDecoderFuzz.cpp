// Any bytes as a picture file: the structure check, Qt's readers behind the size check, the
// decoder's pixel formats and their conversion into a point-spread-function record.

#include "image/pictureFormats.h"
#include "pictureFiles/pictureTruncation.h"
#include "pictureFiles/psfPicture.h"

#include <QBuffer>
#include <QImageReader>
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    (void)pictureEndsEarly(bytes);
    // Pictures that fit the memory budget may still be larger than the fuzzer lets one input
    // allocate; those are a question of memory, not of decoding.
    QByteArray view = QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size()));
    QBuffer buffer(&view);
    buffer.open(QIODevice::ReadOnly);
    const QSize claimed = QImageReader(&buffer).size();
    if (claimed.isValid() && qint64(claimed.width()) * claimed.height() > 4096 * 4096)
        return 0;
    DecodedPicture picture;
    std::string reason;
    if (decodePictureData(bytes, &picture, &reason) || isRefusedPixelFormat(picture.format))
        return 0;
    ImageBuffer target {};
    if (!convertPixelRows(&target, picture.rows()))
        releaseImage(&target);
    return 0;
}
