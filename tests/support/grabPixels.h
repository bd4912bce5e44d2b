#pragma once

// Looking at grabs of skinned windows: pixels, the check-box pictures, the brightest pixel of an
// area (the full-strength pixels of light text on a dark face) and a count of near-white pixels.

#include <QCheckBox>
#include <QImage>
#include <QRect>
#include <QStyleOptionButton>
#include <QWidget>
#include <cstdlib>

// The widget as drawn, in RGB32. MORVANCLARITY_GRAB_FOLDER keeps it as `name`.png for a look.
inline QImage grabOf(QWidget* widget, const char* name)
{
    const QImage grab = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (const char* keep = std::getenv("MORVANCLARITY_GRAB_FOLDER"))
        grab.save(QString::fromLocal8Bit(keep) + "/" + name + ".png");
    return grab;
}

inline QRgb pixelOf(const QImage& image, QPoint point)
{
    return image.pixel(point) | 0xFF000000;
}

inline QRgb brightest(const QImage& image, const QRect& area)
{
    QRgb best = qRgb(0, 0, 0);
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (qGray(image.pixel(x, y)) > qGray(best))
                best = image.pixel(x, y) | 0xFF000000;
    return best;
}

// Pixels lighter than the lightest colour of the dark scheme (the button text) in all three
// channels.
inline int lightPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            count += qRed(p) > 0xE6 && qGreen(p) > 0xE6 && qBlue(p) > 0xE6;
        }
    return count;
}

// Where `box` shows its 13 x 13 picture, in its parent's pixels.
inline QRect indicatorOf(const QCheckBox* box)
{
    QStyleOptionButton option;
    option.initFrom(box);
    option.rect = box->rect();
    const QRect r = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    return QRect(box->pos() + r.topLeft() + QPoint((r.width() - 13) / 2, (r.height() - 13) / 2),
        QSize(13, 13));
}

// Whether `block` of the grab holds exactly the pixels of check-box picture `name`.
inline bool showsPicture(const QImage& grab, const QRect& block, const QString& name)
{
    const QImage picture
        = QImage(":/pictures/" + name + ".png").convertToFormat(QImage::Format_RGB32);
    return !picture.isNull() && picture.size() == block.size() && grab.copy(block) == picture;
}
