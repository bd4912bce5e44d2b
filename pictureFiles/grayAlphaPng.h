#pragma once

// PNG gray with alpha (colour type 4) through libpng: Qt's writer holds such a picture only as
// colour with alpha.

#include <QImage>
#include <string>

// Encodes `image` (RGBA8888 or RGBA64, red = green = blue) as an 8- or 16-bit gray-with-alpha
// PNG with the image's colour profile, compressed at zlib's `level` (0..9). Returns true with a
// reason when it cannot.
[[nodiscard]] bool encodeGrayAlphaPng(
    const QImage& image, int level, QByteArray* bytes, std::string* reason);
