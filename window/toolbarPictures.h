#pragma once

// The toolbar's pictures: decoded from the module's PNG resources, with the grey copies shown
// for disabled buttons and a fallback for screens of fewer than 32 bits per pixel.

#include <QImage>
#include <QString>

// The picture resource `name` ("IDP_ZOOMIN", "DEBLUR_FOCUS", ...) as a 32-bit image with alpha.
// On a screen of fewer than 32 bits per pixel its transparency is removed (see below) and
// `alphaRemoved` set; otherwise `alphaRemoved` is cleared. A missing resource gives a null image
// and leaves `alphaRemoved` as it was.
QImage bitmapFromPngResource(const QString& name, bool* alphaRemoved);

// For a screen of `screenDepth` bits per pixel: the picture itself at 32 bits or more; below, an
// opaque 24-bit copy in which pixels of alpha above 126 keep their colour and the others become
// (192, 192, 192), with `alphaRemoved` set.
QImage pictureForScreenDepth(const QImage& picture, int screenDepth, bool* alphaRemoved);

// The picture of a disabled button: every pixel grey at 50 + 0.43 x (0.3 red + 0.5 green +
// 0.2 blue) (truncated), and alpha halved where it is below 100.
QImage greyCopy(const QImage& picture);
