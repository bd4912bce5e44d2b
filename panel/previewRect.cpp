#include "panel/previewRect.h"

#include "view/viewTransform.h"

#include <algorithm>

namespace {

std::int32_t clampedCoordinate(double value, int limit)
{
    const std::int32_t truncated = saturatingTruncate(value + 0.5);
    const std::int32_t clamped = std::min(truncated, limit);
    return clamped < 1 ? 0 : clamped;
}

} // namespace

PreviewRect centredPreviewRect(int x, int y, ImageSize image)
{
    PreviewRect preview;
    preview.y1 = std::min(y + PreviewHalfSide, image.height);
    preview.y0 = y >= PreviewHalfSide + 1 ? y - PreviewHalfSide : 0;
    preview.x1 = std::min(x + PreviewHalfSide, image.width);
    preview.x0 = x >= PreviewHalfSide + 1 ? x - PreviewHalfSide : 0;
    preview.rect = derivePreviewRect(preview, image);
    return preview;
}

ImageRect derivePreviewRect(const PreviewRect& preview, ImageSize image)
{
    return {clampedCoordinate(preview.x0, image.width), clampedCoordinate(preview.y0, image.height),
        clampedCoordinate(preview.x1, image.width), clampedCoordinate(preview.y1, image.height)};
}

void movePreviewRect(PreviewRect* preview, double dx, double dy, ImageSize image)
{
    preview->x0 += dx;
    preview->x1 += dx;
    preview->y0 += dy;
    preview->y1 += dy;
    preview->rect = derivePreviewRect(*preview, image);
}

bool previewRectUsable(const ImageRect& rect)
{
    return rect.right - rect.left >= MinPreviewSide && rect.bottom - rect.top >= MinPreviewSide;
}
