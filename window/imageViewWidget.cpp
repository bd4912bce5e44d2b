#include "window/imageViewWidget.h"

#include "panel/devicePixels.h"
#include "skin/skinColors.h"
#include "skin/skinSlots.h"
#include "view/renderView.h"
#include "view/resample.h"
#include "window/viewNavigation.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

bool hasPixels(const ImageBuffer* image)
{
    return image && image->data && image->width > 0 && image->height > 0;
}

// `target` takes the geometry and pixels of `source`; empty when `source` is or memory ran out.
void copyWhole(ImageBuffer* target, const ImageBuffer* source)
{
    if (!hasPixels(source) || copyImageHeader(target, source) != 0) {
        releaseImage(target);
        resetImage(target);
        return;
    }
    copyImagePixels(target, source);
}

// The largest screen, in device pixels: the canvas must cover a maximised window on it.
ImageSize largestScreen()
{
    ImageSize largest {0, 0};
    for (const QScreen* screen : QGuiApplication::screens()) {
        const double ratio = screen->devicePixelRatio();
        largest.width = std::max(largest.width, int(std::ceil(screen->size().width() * ratio)));
        largest.height = std::max(largest.height, int(std::ceil(screen->size().height() * ratio)));
    }
    return largest;
}

struct PaintContext {
    QPainter* painter;
    double ratio;
};

// Copies a device-pixel rectangle of the canvas to the same place of the widget, unscaled.
bool copyToWidget(void* context, const ImageBuffer* pixels, ImageRect rect)
{
    auto* paint = static_cast<PaintContext*>(context);
    const QImage canvasImage(pixels->data, pixels->width, pixels->height, pixels->stride,
        QImage::Format_BGR888); // over the canvas, no copy
    const QRectF source(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    const QRectF target(source.left() / paint->ratio, source.top() / paint->ratio,
        source.width() / paint->ratio, source.height() / paint->ratio);
    paint->painter->drawImage(target, canvasImage, source);
    return false;
}

} // namespace

ImageViewWidget::ImageViewWidget(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("imageView"));
    setAccessibleName(QStringLiteral("Image"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent); // painted whole from the canvas
    setCursor(Qt::ArrowCursor);
}

ImageViewWidget::~ImageViewWidget()
{
    if (canvasCreated) {
        detachView(&view);
        destroyCanvas(&canvas);
    }
}

bool ImageViewWidget::createCanvas()
{
    if (::createCanvas(&canvas, skinColor(WorkspaceSlot), largestScreen()))
        return true;
    canvasCreated = true;
    attachView(&view, &canvas);
    view.darkScheme = isDarkScheme(skinSchemeMode());
    setResamplingMode(&view, BilinearResampling);
    return false;
}

void ImageViewWidget::showImages(const ImageBuffer* source, const ImageBuffer* mask)
{
    if (!canvasCreated)
        return;
    copyWhole(&canvas.inputImage, source);
    copyWhole(&canvas.resultImage, source);
    copyWhole(&canvas.overlayImage, mask);
    dragging = false;
    if (imageShown()) {
        const ImageSize size = deviceSize();
        setState(initialFit(imageSize(), size.width, size.height, 0));
        keepFirstFit = true;
    }
    // The input's copy is rebuilt first, without drawing; the result is drawn last, so what the
    // render draws over the image stays on screen once.
    (void)renderView(
        &view, state, {deviceSize(), 0, &canvas.inputImage, InputSlot, 0, &canvas.overlayImage});
    render(ResultSlot, true);
}

bool ImageViewWidget::imageShown() const
{
    return hasPixels(&canvas.inputImage);
}

ImageSize ImageViewWidget::imageSize() const
{
    return {canvas.inputImage.width, canvas.inputImage.height};
}

ImageSize ImageViewWidget::deviceSize() const
{
    return deviceSizeOf(this);
}

ImagePoint ImageViewWidget::devicePoint(QPointF logical) const
{
    return devicePointIn(this, logical);
}

void ImageViewWidget::setOverlay(
    std::span<const MotionPoint> points, bool lineHidden, std::optional<ImageRect> previewRect)
{
    view.points = points;
    view.lineHidden = lineHidden;
    view.previewRect = previewRect;
    render(ResultSlot, false);
}

std::span<const ScreenPoint> ImageViewWidget::screenPoints()
{
    updateScreenPoints(&view, state);
    return view.screenPoints;
}

void ImageViewWidget::render(int slot, bool fresh)
{
    if (!canvasCreated)
        return;
    const ImageBuffer* image = slot == InputSlot ? &canvas.inputImage : &canvas.resultImage;
    (void)renderView(
        &view, state, {deviceSize(), fresh ? 0 : 1, image, slot, 1, &canvas.overlayImage});
    update();
}

void ImageViewWidget::renderResult(bool fresh)
{
    render(ResultSlot, fresh);
}

void ImageViewWidget::renderResultArea(ImageRect area)
{
    render(ResultSlot, refreshCopyArea(&view, ResultSlot, &canvas.resultImage, area));
}

void ImageViewWidget::setState(const ViewState& next)
{
    state = next;
    emit zoomChanged(state.zoom);
}

void ImageViewWidget::moveView(const ViewState& next)
{
    keepFirstFit = false;
    setState(next);
    render(ResultSlot, false);
}

ViewState ImageViewWidget::withZoom(double zoom) const
{
    ViewState next = state;
    next.zoom = zoom;
    return next;
}

void ImageViewWidget::zoomIn()
{
    if (imageShown())
        moveView(withZoom(zoomInStep(state.zoom)));
}

void ImageViewWidget::zoomOut()
{
    if (imageShown())
        moveView(withZoom(zoomOutStep(state.zoom, imageSize())));
}

void ImageViewWidget::zoom100()
{
    if (!imageShown())
        return;
    dragging = false;
    const ImageSize size = deviceSize();
    ViewState next = withZoom(1);
    next.viewCenterX = size.width / 2;
    next.viewCenterY = size.height / 2;
    moveView(next);
}

void ImageViewWidget::zoomToFit()
{
    if (!imageShown())
        return;
    dragging = false;
    const ImageSize size = deviceSize();
    moveView(fitView(imageSize(), {0, 0, size.width, size.height}));
}

void ImageViewWidget::setZoom(double zoom)
{
    moveView(withZoom(zoom));
}

void ImageViewWidget::pan(int dx, int dy)
{
    keepFirstFit = false;
    state.viewCenterX += dx;
    state.viewCenterY += dy;
    render(ResultSlot, false);
}

void ImageViewWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const double ratio = devicePixelRatioF();
    const QRect paint = event->rect();
    PaintContext context {&painter, ratio};
    const ImageRect rect {int(std::floor(paint.left() * ratio)),
        int(std::floor(paint.top() * ratio)), int(std::ceil((paint.right() + 1) * ratio)),
        int(std::ceil((paint.bottom() + 1) * ratio))};
    (void)blitCanvas(&canvas, rect, copyToWidget, &context);
}

void ImageViewWidget::resizeEvent(QResizeEvent*)
{
    // The window manager maximises the window after it is shown: until the user moves the view,
    // the first display's fit follows the view's size.
    if (keepFirstFit && imageShown()) {
        const ImageSize size = deviceSize();
        setState(initialFit(imageSize(), size.width, size.height, 0));
    }
    render(ResultSlot, false);
}

void ImageViewWidget::keyPressEvent(QKeyEvent* event)
{
    const QString typed = event->text();
    if (typed == QStringLiteral("+"))
        zoomIn();
    else if (typed == QStringLiteral("-"))
        zoomOut();
    else if (event->key() == Qt::Key_Left)
        pan(-PanStep, 0);
    else if (event->key() == Qt::Key_Right)
        pan(PanStep, 0);
    else if (event->key() == Qt::Key_Up)
        pan(0, -PanStep);
    else if (event->key() == Qt::Key_Down)
        pan(0, PanStep);
    else
        QWidget::keyPressEvent(event);
}

void ImageViewWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        render(imageShown() ? InputSlot : ResultSlot, false); // the unprocessed image while held
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    dragging = true;
    anchor = devicePoint(event->position());
}

void ImageViewWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging || !(event->buttons() & Qt::LeftButton))
        return;
    const ImagePoint point = devicePoint(event->position());
    keepFirstFit = false;
    state.imageCenterX += (anchor.x - point.x) / state.zoom;
    state.imageCenterY += (anchor.y - point.y) / state.zoom;
    anchor = point;
    render(ResultSlot, false);
}

void ImageViewWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        render(ResultSlot, false);
        return;
    }
    if (event->button() == Qt::LeftButton)
        dragging = false;
}

void ImageViewWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        zoomToFit();
}

void ImageViewWidget::wheelEvent(QWheelEvent* event)
{
    event->accept();
    if (!imageShown() || dragging)
        return;
    const QPoint delta = event->angleDelta();
    const int notch = delta.y() != 0 ? delta.y() : delta.x();
    moveView(wheelZoom(state, devicePoint(event->position()), imageSize(), notch > 0));
}

void ImageViewWidget::leaveEvent(QEvent*)
{
    dragging = false;
}
