#include "view/viewTransform.h"

#include <cmath>
#include <limits>

namespace {

constexpr double Pi = 3.141592653589793;

} // namespace

std::int32_t saturatingTruncate(double value)
{
    // Converting a double outside the int range is undefined behaviour, so the ends are tested
    // first; the comparisons are false for NaN, which falls through to 0.
    constexpr double lowest = double(std::numeric_limits<std::int32_t>::min());
    constexpr double highest = double(std::numeric_limits<std::int32_t>::max());
    if (value >= highest)
        return std::numeric_limits<std::int32_t>::max();
    if (value <= lowest)
        return std::numeric_limits<std::int32_t>::min();
    if (value == value)
        return std::int32_t(value);
    return 0;
}

ViewTransform setViewTransform(
    double windowX, double windowY, double imageX, double imageY, double angleDegrees, double zoom)
{
    const double angle = angleDegrees / 180.0 * Pi;
    ViewTransform transform;
    transform.scaleCos = std::cos(angle) / zoom;
    transform.scaleSin = std::sin(angle) / zoom;
    transform.offsetX = imageX - (transform.scaleCos * windowX - transform.scaleSin * windowY);
    transform.offsetY = imageY - (transform.scaleSin * windowX + transform.scaleCos * windowY);
    return transform;
}

ViewTransform viewTransformFor(const ViewState& state)
{
    return setViewTransform(state.viewCenterX, state.viewCenterY, state.imageCenterX,
        state.imageCenterY, 0.0, state.zoom);
}

void windowToImage(
    const ViewTransform& transform, std::int32_t x, std::int32_t y, double* imageX, double* imageY)
{
    if (imageX)
        *imageX = x * transform.scaleCos + transform.offsetX - y * transform.scaleSin;
    if (imageY)
        *imageY = y * transform.scaleCos + transform.offsetY + x * transform.scaleSin;
}

void imageToWindow(
    const ViewTransform& transform, double imageX, double imageY, std::int32_t* x, std::int32_t* y)
{
    const double d
        = transform.scaleCos * transform.scaleCos + transform.scaleSin * transform.scaleSin;
    const double dx = imageX - transform.offsetX;
    const double dy = imageY - transform.offsetY;
    if (x)
        *x = saturatingTruncate((dy * transform.scaleSin + dx * transform.scaleCos) / d + 0.5);
    if (y)
        *y = saturatingTruncate((dy * transform.scaleCos - dx * transform.scaleSin) / d + 0.5);
}
