#pragma once

// The image view in the middle of the main window: it owns the canvas with the three images
// (input, result, transparency), the view's 8-bit copies and the view state, paints the canvas,
// and moves the view under the mouse (drag to pan, wheel to zoom about the cursor, double-click
// to fit, the right button held to show the unprocessed image) and the keys (+ and - zoom, the
// arrows pan).
//
// Geometry is in device pixels of this widget: on a screen with a device-pixel ratio above 1 the
// canvas holds the widget pixel for pixel and mouse positions are scaled to match. The deblur
// panel watches the mouse through an event filter and takes the events it uses; the view only
// sees the rest.

#include "image/imageBuffer.h"
#include "view/imageView.h"
#include "view/viewCanvas.h"
#include "view/viewTransform.h"

#include <QWidget>
#include <optional>
#include <span>

constexpr int PanStep = 50; // device pixels per arrow key

class ImageViewWidget : public QWidget {
    Q_OBJECT

public:
    explicit ImageViewWidget(QWidget* parent);
    ~ImageViewWidget() override;

    // True when the canvas could not be allocated: nothing can be shown.
    [[nodiscard]] bool createCanvas();
    // Takes copies of the host's image and transparency and fits the view to the image.
    void showImages(const ImageBuffer* source, const ImageBuffer* mask);

    const ImageBuffer* inputImage() const { return &canvas.inputImage; }
    const ImageBuffer* resultImage() const { return &canvas.resultImage; }
    ImageBuffer* resultImage() { return &canvas.resultImage; }
    bool imageShown() const;
    const ViewState& viewState() const { return state; }
    ViewTransform transform() const { return viewTransformFor(state); }
    ImageView* imageView() { return &view; }
    const ViewCanvas* viewCanvas() const { return &canvas; }
    // The widget's size in device pixels.
    ImageSize deviceSize() const;
    // The device pixel under a position in this widget's logical coordinates.
    ImagePoint devicePoint(QPointF logical) const;

    // What the panel draws over the image: the motion line (hidden while an imported kernel is
    // used) and the preview rectangle. Redrawn from the view's copy.
    void setOverlay(
        std::span<const MotionPoint> points, bool lineHidden, std::optional<ImageRect> previewRect);
    // The motion points' screen positions for the current view state.
    std::span<const ScreenPoint> screenPoints();

    // Redraws the result: `fresh` when its pixels changed (the view's copy is rebuilt).
    void renderResult(bool fresh);
    // Redraws the result after a change of its pixels inside `area` (image pixels) only: the
    // view's copy is brought up to date there, not rebuilt.
    void renderResultArea(ImageRect area);

    void zoomIn();
    void zoomOut();
    void zoom100();
    void zoomToFit();
    void setZoom(double zoom);
    void pan(int dx, int dy);

signals:
    void zoomChanged(double zoom);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void render(int slot, bool fresh);
    void setState(const ViewState& next);
    // setState, then a redraw from the view's copy.
    void moveView(const ViewState& next);
    ViewState withZoom(double zoom) const;
    ImageSize imageSize() const;

    ViewCanvas canvas {};
    ImageView view {};
    bool canvasCreated = false;
    ViewState state {0, 0, 0, 0, 1};
    bool keepFirstFit = false; // the view shows the first display's fit, not moved since
    bool dragging = false;
    ImagePoint anchor {0, 0};
};
