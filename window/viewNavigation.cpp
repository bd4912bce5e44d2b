#include "window/viewNavigation.h"

#include <algorithm>

double zoomInStep(double zoom)
{
    const double next = zoom * ZoomStep;
    return next > MaxToolbarZoom ? zoom : next;
}

double zoomOutStep(double zoom, ImageSize image)
{
    const double next = zoom * ZoomOutStep;
    const double longSide = std::max(image.width, image.height);
    if (next < MinToolbarZoom || next * longSide < 1.0)
        return zoom;
    return next;
}

ViewState wheelZoom(const ViewState& state, ImagePoint cursor, ImageSize image, bool zoomIn)
{
    const ViewTransform transform = viewTransformFor(state);
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    imageToWindow(transform, 0, 0, &left, &top);
    imageToWindow(transform, image.width, image.height, &right, &bottom);
    const std::int32_t x = std::clamp(cursor.x, std::min(left, right), std::max(left, right));
    const std::int32_t y = std::clamp(cursor.y, std::min(top, bottom), std::max(top, bottom));

    ViewState next = state;
    windowToImage(transform, x, y, &next.imageCenterX, &next.imageCenterY);
    next.viewCenterX = x;
    next.viewCenterY = y;
    next.zoom = state.zoom * (zoomIn ? ZoomStep : ZoomOutStep);
    next.zoom = std::min(next.zoom, MaxInitialZoom);
    next.zoom = std::max(next.zoom, MinWheelSide / std::max(image.width, image.height));
    return next;
}

ViewState fitView(ImageSize image, ImageRect view)
{
    const int width = view.right - view.left;
    const int height = view.bottom - view.top;
    ViewState state {};
    state.imageCenterX = image.width / 2;
    state.imageCenterY = image.height / 2;
    state.viewCenterX = view.left + width / 2;
    state.viewCenterY = view.top + height / 2;
    state.zoom = std::min(double(width) / image.width, double(height) / image.height);
    return state;
}

ViewState initialFit(ImageSize image, int viewWidth, int viewHeight, int top)
{
    ViewState state {};
    state.imageCenterX = image.width / 2;
    state.imageCenterY = image.height / 2;
    state.viewCenterX = viewWidth / 2;
    state.viewCenterY = viewHeight / 2 + top;
    const double zoomX = (viewWidth / 2 - 2) / (image.width / 2.0);
    const double zoomY = (viewHeight / 2 - 2) / (image.height / 2.0);
    state.zoom = std::min(std::min(zoomX, zoomY), MaxInitialZoom);
    return state;
}
