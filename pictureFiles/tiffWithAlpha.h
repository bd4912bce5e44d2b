#pragma once

// TIFF pictures with an alpha sample, through libtiff. Qt's TIFF reader turns gray with alpha
// into colour without alpha and reads 8-bit straight alpha premultiplied (the colour of a nearly
// transparent pixel is lost), and its writer holds gray with alpha only as colour.

#include <QImage>
#include <string>

enum class TiffAlphaRead {
    NotSuch, // not a TIFF of gray or colour with one alpha sample that is read here
    Read,
    Damaged,
    OutOfMemory,
    Refused, // a layout no reader here reads right (signed samples, alpha Qt would lose)
};

// Decodes a TIFF of gray or colour with one extra sample (straight, associated or unspecified
// alpha), 8 or 16 bits per sample, into a straight-alpha RGBA8888 or RGBA64 image with the
// file's colour profile; gray is repeated in red, green and blue. Pictures without alpha give
// NotSuch and are left to Qt's reader; signed samples, and alpha in any other layout (another
// colour model, orientation or depth, more extra samples, tiles in separate planes), are Refused
// with the layout named in `reason`, since Qt's reader would read them wrong. A Damaged read says
// why in `reason`.
[[nodiscard]] TiffAlphaRead readTiffWithAlpha(
    const std::string& bytes, QImage* image, std::string* reason);

// Whether `bytes` is a TIFF of gray with an alpha sample.
bool isGrayAlphaTiff(const std::string& bytes);

// Encodes `image` (RGBA8888 or RGBA64, red = green = blue) as a gray-with-alpha TIFF, straight
// alpha, with the image's colour profile. Returns true with a reason when it cannot.
[[nodiscard]] bool encodeGrayAlphaTiff(const QImage& image, QByteArray* bytes, std::string* reason);
