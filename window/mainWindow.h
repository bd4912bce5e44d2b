#pragma once

// The plug-in's top-level window: toolbar at the top, the image view filling the middle, a
// status bar at the bottom and the docker for the deblur panel at the right edge. It owns the
// images on screen, handles the private messages of the panel and the job thread, the commands
// of the toolbar, menu and keys, and the mouse in the view area.
//
// Geometry of the view state is in device pixels: on a screen with a device-pixel ratio above 1
// the canvas holds the client area pixel for pixel and mouse positions are scaled to match.

#include "image/ownedImage.h"
#include "locale/localePaths.h"
#include "panel/deblurPanel.h"
#include "panel/jobRecord.h"
#include "view/imageView.h"
#include "view/viewCanvas.h"
#include "view/viewTransform.h"

#include <QWidget>
#include <atomic>
#include <thread>

class Docker;
class QLabel;
class QMenu;
class QStatusBar;
class Toolbar;
class WindowMessageEvent;

// The exchange images of one window run: filled from the host before and written back after.
struct WindowImages {
    ImageBuffer* sourceImage; // the host's image; receives the result at close
    const ImageBuffer* maskImage; // the layer's transparency, or empty
};

class MainWindow : public QWidget {
public:
    MainWindow(WindowImages images, const LocalePaths& paths, QWidget* owner);
    ~MainWindow() override;

    // False when the creation failed (no canvas): the window must not be shown.
    bool created() const { return canvasCreated; }

    // Runs command `command` as the toolbar, menu or keys would.
    void runCommand(int command);
    // The window's part of the panel's closing: the correction and menu buttons are enabled
    // again and the panel leaves the docker.
    void panelClosed();

    // State the tests and the panel read.
    const ViewState& viewState() const { return state; }
    bool pendingResult() const { return resultPending; }
    bool motionMode() const { return motion; }
    bool panelOpen() const { return deblurPanel != nullptr; }
    DeblurPanel* panel() const { return deblurPanel; }
    Toolbar* toolbar() const { return tools; }
    Docker* docker() const { return dock; }
    QString statusText() const;
    const ImageBuffer* inputImage() const { return &canvas.inputImage; }
    const ImageBuffer* resultImage() const { return &canvas.resultImage; }
    ImageBuffer* resultImage() { return &canvas.resultImage; }
    ImageView* imageView() { return &view; }
    const ViewCanvas* viewCanvas() const { return &canvas; }
    // The view area in device pixels: below the toolbar, above the status bar, left of the
    // docker.
    ImageRect viewArea() const;
    // The client area's size in device pixels.
    ImageSize clientSize() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void handleMessage(WindowMessageEvent* message);
    void firstDisplay();
    void openCorrection(bool motionCorrection);
    void showAbout();
    void showApplicationMenu();
    void typedZoom();
    void zoomBoxChosen();
    void zoomToFit();
    void zoom100();
    void startJob(std::uintptr_t wParam, std::intptr_t lParam);
    // Waits for the worker to end (asking it to stop first when `abort` is set), handling the
    // messages it sends meanwhile.
    void waitForJob(bool abort);
    void closeSequence();

    void render(int slot, int reuseCopy, bool repaintNow = true);
    void repaintView();
    void showZoom();
    bool imageShown() const;
    ImagePoint devicePoint(QPointF logical) const;
    int toDevice(int logical) const;
    int toolbarHeight() const;
    int statusBarHeight() const;
    int dockerLeft() const;
    void forwardToPanel(int mouseMessage, const QMouseEvent* event);
    bool panelTakesMouse() const;
    void setViewCursor(Qt::CursorShape shape);

    WindowImages images;
    LocalePaths paths;
    QWidget* owner;
    ViewCanvas canvas {};
    ImageView view {};
    bool canvasCreated = false;
    OwnedImage workImage;
    ViewState state {0, 0, 0, 0, 1};
    bool dragging = false;
    ImagePoint anchor {0, 0};
    bool resultPending = false;
    bool motion = false;
    DeblurPanel* deblurPanel = nullptr; // the panel while it is open
    PanelPointer pointer; // the last mouse event over the view, for the panel
    bool closed = false;
    bool jobAbortedByClose = false;

    Toolbar* tools = nullptr;
    QStatusBar* status = nullptr;
    QLabel* statusLabel = nullptr;
    Docker* dock = nullptr;

    JobRecord job {};
    std::thread worker;
    std::atomic<bool> workerRunning {false};
};
