#pragma once

// The uniform Catmull-Rom curve through a motion line's points, shared by the kernel that the
// engine builds from the line and the line that the view draws, so both follow the same path.

// One segment for one coordinate: value(t) = ((c3 t + c2) t + c1) t + c0 for t in [0, 1],
// running from the second control value (t = 0) to the third (t = 1).
struct CatmullRomCubic {
    double c0;
    double c1;
    double c2;
    double c3;

    double at(double t) const { return ((c3 * t + c2) * t + c1) * t + c0; }
    double slope(double t) const { return (3 * c3 * t + 2 * c2) * t + c1; }
};

// The segment between b and c, with a before and d after them.
constexpr CatmullRomCubic catmullRom(double a, double b, double c, double d)
{
    return {b, (c - a) / 2, (2 * a - 5 * b + 4 * c - d) / 2, (3 * b - a - 3 * c + d) / 2};
}
