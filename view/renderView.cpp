#include "view/renderView.h"

#include "image/imageFormat.h"
#include "view/checkerboard.h"
#include "view/motionLine.h"
#include "view/previewOutline.h"
#include "view/reducedCopy.h"
#include "view/resample.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The view's copy for `slot`, or null for a slot that shows no image.
ImageBuffer* slotCopy(ImageView* view, int slot)
{
    if (slot == InputSlot)
        return &view->inputCopy;
    if (slot == ResultSlot)
        return &view->resultCopy;
    return nullptr;
}

bool hasPixels(const ImageBuffer* image)
{
    return image && image->data && image->width > 0 && image->height > 0;
}

// The canvas as a target of the client area's size, rows keeping the canvas's stride.
ImageBuffer clientTarget(const ImageView* view, ImageSize clientSize)
{
    ImageBuffer target = *view->canvas;
    target.width = std::clamp(clientSize.width, 0, view->canvas->width);
    target.height = std::clamp(clientSize.height, 0, view->canvas->height);
    target.channels = 3;
    target.bitsPerChannel = 8;
    return target;
}

void fillBackground(ImageBuffer* target, int level)
{
    fillImageRect(target, ImageRect {0, 0, target->width, target->height}, level);
}

// The reduction factor kept for `copy`.
int* copyFactor(ImageView* view, const ImageBuffer* copy)
{
    if (copy == &view->inputCopy)
        return &view->inputCopyFactor;
    if (copy == &view->resultCopy)
        return &view->resultCopyFactor;
    return &view->overlayCopyFactor;
}

// The transform that draws `copy`, reduced or not, at the view state.
ViewTransform copyTransform(ImageView* view, const ImageBuffer* copy, const ViewState& state)
{
    return viewTransformFor(reducedViewState(state, *copyFactor(view, copy)));
}

// Replaces `copy` with `image` converted to 8 bits and `channels`, reduced when the image is too
// large for the resamplers; true when that failed, the copy then being empty.
bool rebuildCopy(ImageView* view, ImageBuffer* copy, const ImageBuffer* image, int channels)
{
    int* factor = copyFactor(view, copy);
    *factor = 1;
    if (copyImageHeader(copy, image) != 0) {
        releaseImage(copy);
        resetImage(copy);
        return true;
    }
    copyImagePixels(copy, image);
    if (changeImageFormat(copy, 8, channels)) {
        releaseImage(copy);
        resetImage(copy);
        return true;
    }
    *factor = viewReductionFactor(copy->width, copy->height);
    return reduceViewCopy(copy, *factor);
}

// Blends the checkerboard where the overlay, resampled like the image, is transparent.
void drawOverlay(
    ImageView* view, ImageBuffer* target, const ViewState& state, const RenderRequest& request)
{
    if (request.reuseCopy == 0 && rebuildCopy(view, &view->overlayCopy, request.overlay, 1))
        return;
    ImageBuffer alpha {};
    if (target->width == 0 || target->height == 0
        || allocateImage(&alpha, target->width, target->height, 1, 8) != 0) {
        releaseImage(&alpha);
        return;
    }
    fillImage(&alpha, 255); // opaque wherever the overlay does not reach
    resampleImage(&alpha, &view->overlayCopy, copyTransform(view, &view->overlayCopy, state),
        view->resamplingMode);
    blendCheckerboard(target, &alpha);
    releaseImage(&alpha);
}

// Maps the points to client positions. On allocation failure no screen point is left.
void placeScreenPoints(ImageView* view, const ViewTransform& transform)
{
    try {
        view->screenPoints.resize(view->points.size());
    } catch (const std::bad_alloc&) {
        view->screenPoints = {};
        return;
    }
    for (std::size_t i = 0; i < view->points.size(); ++i) {
        const MotionPoint& point = view->points[i];
        ScreenPoint& screen = view->screenPoints[i];
        imageToWindow(transform, point.x, point.y, &screen.x, &screen.y);
        screen.selected = point.selected;
    }
}

void drawPreviewOutline(const ImageView* view, ImageBuffer* target, const ViewTransform& transform)
{
    const ImageRect& rect = *view->previewRect;
    std::int32_t x0;
    std::int32_t y0;
    std::int32_t x1;
    std::int32_t y1;
    imageToWindow(transform, rect.left, rect.top, &x0, &y0);
    imageToWindow(transform, rect.right, rect.bottom, &x1, &y1);
    invertPreviewOutline(target, x0, y0, x1, y1);
}

} // namespace

bool renderView(ImageView* view, const ViewState& state, const RenderRequest& request)
{
    if (!view->canvas || !view->canvas->data)
        return true;
    const int background = view->darkScheme ? DarkBackground : NormalBackground;
    ImageBuffer target = clientTarget(view, request.clientSize);
    const ViewTransform transform = viewTransformFor(state);

    ImageBuffer* copy = slotCopy(view, request.slot);
    if (!copy) {
        fillBackground(&target, background);
    } else {
        const bool imageUsable = hasPixels(request.image);
        if (!hasPixels(copy) || request.reuseCopy == 0) {
            if (request.reuseCopy != 0 || !imageUsable
                || rebuildCopy(view, copy, request.image, 3)) {
                fillBackground(&target, background);
                return true;
            }
        }
        if (request.draw == 1) {
            fillBackground(&target, background);
            resampleImage(&target, copy, copyTransform(view, copy, state), view->resamplingMode);
        }
    }

    if (hasPixels(request.overlay))
        drawOverlay(view, &target, state, request);
    if (!copy)
        return true;

    if (!view->points.empty() && !view->lineHidden) {
        placeScreenPoints(view, transform);
        drawMotionLine(&target, view->screenPoints.data(), int(view->screenPoints.size()));
    }
    if (view->previewRect)
        drawPreviewOutline(view, &target, transform);
    return false;
}

bool refreshCopyArea(ImageView* view, int slot, const ImageBuffer* image, ImageRect area)
{
    ImageBuffer* copy = slotCopy(view, slot);
    if (!copy || !hasPixels(copy) || !hasPixels(image) || *copyFactor(view, copy) != 1
        || copy->width != image->width || copy->height != image->height)
        return true;
    area.left = std::max(area.left, 0);
    area.top = std::max(area.top, 0);
    area.right = std::min(area.right, image->width);
    area.bottom = std::min(area.bottom, image->height);
    if (area.left >= area.right || area.top >= area.bottom)
        return false;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    ImageBuffer part {};
    if (allocateImage(&part, width, height, image->channels, image->bitsPerChannel) != 0) {
        releaseImage(&part);
        return true;
    }
    cropImage(&part, image, area);
    const bool failed = changeImageFormat(&part, 8, 3);
    if (!failed)
        copyImageRect(copy, &part, {area.left, area.top}, {0, 0}, {width, height});
    releaseImage(&part);
    return failed;
}

void updateScreenPoints(ImageView* view, const ViewState& state)
{
    if (view->points.empty()) {
        view->screenPoints = {};
        return;
    }
    placeScreenPoints(view, viewTransformFor(state));
}
