#include "window/toolbarPictures.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

// Read once, as the screen does not change its depth under a running window. X11 reports a
// true-colour screen as 24 bits deep where the pictures' fallback rule counts 32 (alpha is
// composed by the toolkit either way), so only screens below 24 bits count as low-colour.
int screenDepth()
{
    static const int depth = [] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const int bits = screen ? screen->depth() : 32;
        return bits >= 24 ? 32 : bits;
    }();
    return depth;
}

} // namespace

QImage bitmapFromPngResource(const QString& name, bool* alphaRemoved)
{
    QImage picture(QStringLiteral(":/pictures/") + name + QStringLiteral(".png"), "PNG");
    if (picture.isNull())
        return QImage();
    return pictureForScreenDepth(
        picture.convertToFormat(QImage::Format_ARGB32), screenDepth(), alphaRemoved);
}

QImage pictureForScreenDepth(const QImage& picture, int depth, bool* alphaRemoved)
{
    if (depth >= 32) {
        *alphaRemoved = false;
        return picture;
    }
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32);
    QImage opaque(source.size(), QImage::Format_RGB888);
    for (int y = 0; y < source.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        uchar* out = opaque.scanLine(y);
        for (int x = 0; x < source.width(); ++x) {
            const bool keep = qAlpha(in[x]) > 126;
            out[3 * x] = uchar(keep ? qRed(in[x]) : 192);
            out[3 * x + 1] = uchar(keep ? qGreen(in[x]) : 192);
            out[3 * x + 2] = uchar(keep ? qBlue(in[x]) : 192);
        }
    }
    *alphaRemoved = true;
    return opaque;
}

QImage greyCopy(const QImage& picture)
{
    QImage grey = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* pixel = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const QRgb p = pixel[x];
            const int v = int(120 + 0.43 * (0.3 * qRed(p) + 0.5 * qGreen(p) + 0.2 * qBlue(p))) - 70;
            const int alpha = qAlpha(p) < 100 ? qAlpha(p) >> 1 : qAlpha(p);
            pixel[x] = qRgba(v, v, v, alpha);
        }
    }
    return grey;
}
