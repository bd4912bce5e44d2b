#include "view/previewOutline.h"

#include <algorithm>

namespace {

void invertPixel(ImageBuffer* target, std::int64_t x, std::int64_t y)
{
    if (x < 0 || y < 0 || x >= target->width || y >= target->height)
        return;
    std::uint8_t* pixel = target->data + y * target->stride + x * 3;
    for (int i = 0; i < 3; ++i)
        pixel[i] = std::uint8_t(~pixel[i]);
}

} // namespace

void invertPreviewOutline(
    ImageBuffer* target, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1)
{
    if (!target->data || target->bitsPerChannel != 8 || target->channels != 3)
        return;
    // The loops run over the visible part only: at a high zoom the corners may lie billions of
    // pixels away, and the skipped pixels would be outside anyway. 64-bit so that x1 + 1 and
    // x0 + 2 cannot overflow.
    const std::int64_t left = x0;
    const std::int64_t top = y0;
    const std::int64_t right = x1;
    const std::int64_t bottom = y1;
    const std::int64_t xFirst = std::max<std::int64_t>(left + 2, 0);
    const std::int64_t xLast = std::min<std::int64_t>(right - 2, target->width - 1);
    for (std::int64_t x = xFirst; x <= xLast; ++x) {
        invertPixel(target, x, top);
        invertPixel(target, x, bottom);
        invertPixel(target, x, top + 1);
        invertPixel(target, x, bottom - 1);
    }
    const std::int64_t yFirst = std::max<std::int64_t>(top, 0);
    const std::int64_t yLast = std::min<std::int64_t>(bottom, target->height - 1);
    for (std::int64_t y = yFirst; y <= yLast; ++y) {
        invertPixel(target, left, y);
        invertPixel(target, right, y);
        invertPixel(target, left + 1, y);
        invertPixel(target, right - 1, y);
    }
}
