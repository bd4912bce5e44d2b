#pragma once

// A widget's geometry in device pixels: the image view's canvas holds the widget pixel for pixel,
// so view states and mouse positions are measured in them.

#include "image/imageBuffer.h"

#include <QPointF>
#include <QWidget>
#include <cmath>
#include <cstdint>

// The device pixel under a position in the widget's logical coordinates.
inline ImagePoint devicePointIn(const QWidget* widget, QPointF logical)
{
    const double ratio = widget->devicePixelRatioF();
    return {std::int32_t(std::floor(logical.x() * ratio)),
        std::int32_t(std::floor(logical.y() * ratio))};
}

// The widget's size in device pixels.
inline ImageSize deviceSizeOf(const QWidget* widget)
{
    const double ratio = widget->devicePixelRatioF();
    return {int(std::lround(widget->width() * ratio)), int(std::lround(widget->height() * ratio))};
}
