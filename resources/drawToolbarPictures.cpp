// Draws the toolbar's pictures, 32 x 32 pixels with transparency, into the folder given on the
// command line (resources/pictures). Run it after changing a drawing and check the PNGs in:
//
//     build/resources/drawToolbarPictures resources/pictures
//
// Light strokes with a blue accent, for the dark toolbar.

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <cstdio>
#include <functional>

namespace {

const QColor Ink(226, 226, 226);
const QColor Accent(92, 168, 255);
const QColor Paper(60, 60, 60);

QPen pen(const QColor& color, double width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A magnifier: a lens at (13, 13) and a handle to the lower right.
void lens(QPainter& p)
{
    p.setPen(pen(Ink, 4.0));
    p.drawLine(QPointF(20.5, 20.5), QPointF(28, 28));
    p.setPen(pen(Ink, 2.5));
    p.setBrush(Paper);
    p.drawEllipse(QPointF(13, 13), 9.5, 9.5);
}

void zoomIn(QPainter& p)
{
    lens(p);
    p.setPen(pen(Accent, 2.5));
    p.drawLine(QPointF(8.5, 13), QPointF(17.5, 13));
    p.drawLine(QPointF(13, 8.5), QPointF(13, 17.5));
}

void zoomOut(QPainter& p)
{
    lens(p);
    p.setPen(pen(Accent, 2.5));
    p.drawLine(QPointF(8.5, 13), QPointF(17.5, 13));
}

void zoom100(QPainter& p)
{
    lens(p);
    p.setPen(pen(Accent, 1.6));
    QFont font("DejaVu Sans");
    font.setPixelSize(9);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(3.5, 7, 19, 12), Qt::AlignCenter, "1:1");
}

void zoomFit(QPainter& p)
{
    p.setPen(pen(Ink, 2.0));
    p.setBrush(Paper);
    p.drawRect(QRectF(5, 7, 22, 18));
    p.setPen(pen(Accent, 2.2));
    // Four corner arrows pointing outwards.
    const double c[4][4] = {{9, 11, 1, 1}, {23, 11, -1, 1}, {9, 21, 1, -1}, {23, 21, -1, -1}};
    for (const auto& a : c) {
        p.drawLine(QPointF(a[0], a[1]), QPointF(a[0] + 4 * a[2], a[1] + 3 * a[3]));
        p.drawLine(QPointF(a[0], a[1]), QPointF(a[0] + 3 * a[2], a[1]));
        p.drawLine(QPointF(a[0], a[1]), QPointF(a[0], a[1] + 2.5 * a[3]));
    }
}

void folder(QPainter& p)
{
    QPainterPath path;
    path.moveTo(3, 9);
    path.lineTo(12, 9);
    path.lineTo(15, 12);
    path.lineTo(29, 12);
    path.lineTo(29, 26);
    path.lineTo(3, 26);
    path.closeSubpath();
    p.setPen(pen(Ink, 2.0));
    p.setBrush(Paper);
    p.drawPath(path);
    p.setPen(pen(Accent, 2.0));
    p.drawLine(QPointF(3, 16), QPointF(29, 16));
}

// The menu: three lines beside a small downward triangle.
void picker(QPainter& p)
{
    p.setPen(pen(Ink, 2.6));
    for (double y : {9.0, 16.0, 23.0})
        p.drawLine(QPointF(5, y), QPointF(20, y));
    p.setPen(Qt::NoPen);
    p.setBrush(Accent);
    const QPointF triangle[3] = {{22.5, 14}, {29.5, 14}, {26, 19}};
    p.drawPolygon(triangle, 3);
}

// Out of focus: a blurred disc (soft rings) turning into a sharp one.
void deblurFocus(QPainter& p)
{
    for (int ring = 0; ring < 5; ++ring) {
        QColor halo = Ink;
        halo.setAlpha(40 + ring * 22);
        p.setPen(Qt::NoPen);
        p.setBrush(halo);
        p.drawEllipse(QPointF(12, 16), 10.5 - ring * 1.4, 10.5 - ring * 1.4);
    }
    p.setBrush(Accent);
    p.setPen(pen(Ink, 1.5));
    p.drawEllipse(QPointF(23, 16), 5.5, 5.5);
}

// Motion: a curved shake path with its points.
void deblurMotion(QPainter& p)
{
    QPainterPath path;
    path.moveTo(5, 24);
    path.cubicTo(10, 6, 18, 28, 27, 9);
    p.setPen(pen(Accent, 2.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(pen(Ink, 1.6));
    p.setBrush(Paper);
    for (const QPointF point : {QPointF(5, 24), QPointF(16, 17), QPointF(27, 9)})
        p.drawRect(QRectF(point.x() - 2.5, point.y() - 2.5, 5, 5));
}

struct Picture {
    const char* name;
    std::function<void(QPainter&)> draw;
};

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv); // fonts
    if (argc != 2) {
        std::fprintf(stderr, "usage: drawToolbarPictures FOLDER\n");
        return 64;
    }
    const Picture pictures[] = {{"IDP_FOLDER", folder}, {"IDP_ZOOMIN", zoomIn},
        {"IDP_ZOOMOUT", zoomOut}, {"IDP_ZOOM100", zoom100}, {"IDP_ZOOMFIT", zoomFit},
        {"IDP_PICKER", picker}, {"DEBLUR_FOCUS", deblurFocus}, {"DEBLUR_MOTION", deblurMotion}};
    for (const Picture& picture : pictures) {
        QImage image(32, 32, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        picture.draw(painter);
        painter.end();
        const QString path = QString::fromLocal8Bit(argv[1]) + "/" + picture.name + ".png";
        if (!image.save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
