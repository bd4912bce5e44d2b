#include "view/motionLine.h"

#include "image/catmullRom.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// A pixel position as whole-number doubles: the curve may run far outside the 32-bit range.
struct Pixel {
    double x;
    double y;
};

struct Segment {
    ImageBuffer* target;
    CatmullRomCubic x;
    CatmullRomCubic y;

    Pixel pixel(double t) const { return {std::floor(x.at(t) + 0.5), std::floor(y.at(t) + 0.5)}; }
};

void plot(ImageBuffer* target, double x, double y, LineColor color)
{
    if (!(x >= 0 && y >= 0 && x < target->width && y < target->height))
        return;
    std::uint8_t* pixel = target->data + std::int64_t(y) * target->stride + std::int64_t(x) * 3;
    pixel[0] = color.blue;
    pixel[1] = color.green;
    pixel[2] = color.red;
}

// The range of one axis over [t0, t1], from the convex hull of the piece's Bezier control points.
void hullRange(const CatmullRomCubic& cubic, double t0, double t1, double* low, double* high)
{
    const double h = (t1 - t0) / 3;
    const double b0 = cubic.at(t0);
    const double b3 = cubic.at(t1);
    const double b1 = b0 + h * cubic.slope(t0);
    const double b2 = b3 - h * cubic.slope(t1);
    *low = std::min({b0, b1, b2, b3});
    *high = std::max({b0, b1, b2, b3});
}

// True when no pixel of the piece over [t0, t1] can round into the target. Skipping such pieces
// changes nothing drawn but keeps a line that runs far outside the window (at a high zoom) from
// being walked pixel by pixel; the margin of one pixel covers rounding.
bool pieceMissesTarget(const Segment& segment, double t0, double t1)
{
    double low;
    double high;
    hullRange(segment.x, t0, t1, &low, &high);
    if (high < -1.5 || low > segment.target->width + 0.5)
        return true;
    hullRange(segment.y, t0, t1, &low, &high);
    return high < -1.5 || low > segment.target->height + 0.5;
}

// Plots the pixels between the already plotted end pixels p0 = pixel(t0) and p1 = pixel(t1):
// the midpoint's pixel, then the left half, then the right half, until the ends touch.
void subdivide(const Segment& segment, double t0, Pixel p0, double t1, Pixel p1)
{
    if (std::fabs(p0.x - p1.x) <= 1 && std::fabs(p0.y - p1.y) <= 1)
        return;
    const double tm = (t0 + t1) / 2;
    if (tm <= t0 || tm >= t1 || pieceMissesTarget(segment, t0, t1))
        return;
    const Pixel pm = segment.pixel(tm);
    plot(segment.target, pm.x, pm.y, MotionLineColor);
    subdivide(segment, t0, p0, tm, pm);
    subdivide(segment, tm, pm, t1, p1);
}

void drawSegment(ImageBuffer* target, const ScreenPoint& a, const ScreenPoint& b,
    const ScreenPoint& c, const ScreenPoint& d)
{
    const Segment segment {target, catmullRom(a.x, b.x, c.x, d.x), catmullRom(a.y, b.y, c.y, d.y)};
    const Pixel start = segment.pixel(0);
    const Pixel end = segment.pixel(1);
    plot(target, start.x, start.y, MotionLineColor);
    plot(target, end.x, end.y, MotionLineColor);
    subdivide(segment, 0, start, 1, end);
}

// The 9 x 9 square around the point less its inner 5 x 5: a frame two pixels thick.
void drawMarker(ImageBuffer* target, const ScreenPoint& point)
{
    const LineColor color = point.selected ? SelectedMarkerColor : MarkerColor;
    for (int dy = -4; dy <= 4; ++dy) {
        for (int dx = -4; dx <= 4; ++dx) {
            if (std::abs(dx) <= 2 && std::abs(dy) <= 2)
                continue;
            plot(target, double(point.x) + dx, double(point.y) + dy, color);
        }
    }
}

} // namespace

void drawMotionLine(ImageBuffer* target, const ScreenPoint* points, int count)
{
    if (!target->data || target->bitsPerChannel != 8 || target->channels != 3 || count <= 0)
        return;
    for (int k = 0; k + 1 < count; ++k)
        drawSegment(target, points[std::max(k - 1, 0)], points[k], points[k + 1],
            points[std::min(k + 2, count - 1)]);
    for (int i = 0; i < count; ++i)
        drawMarker(target, points[i]);
}
