#pragma once

// The plug-in's top-level window: the toolbar at the top, the image view in the middle, the
// docker for the deblur panel at the right edge and a status bar at the bottom. It owns the
// view and the window's commands (QActions shared by the toolbar, the menu and the keys), opens
// the deblur panel and runs the close sequence that hands the result back.

#include "locale/localePaths.h"
#include "panel/deblurPanel.h"
#include "settings/settings.h"

#include <QMainWindow>
#include <QPointer>

class Docker;
class ImageViewWidget;
class QAction;
class QLabel;
class QMenu;
class Toolbar;

// The exchange images of one window run: filled from the host before and written back after.
struct WindowImages {
    ImageBuffer* sourceImage; // the host's image; receives the result at close
    const ImageBuffer* maskImage; // the layer's transparency, or empty
};

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(WindowImages images, const LocalePaths& paths, QWidget* owner);
    ~MainWindow() override;

    // False when the creation failed (no canvas): the window must not be shown.
    bool created() const { return canvasCreated; }
    // Shows the host's image for the first time, fitted to the view.
    void showImage();
    // The restored (not maximised) geometry: about 80 % of the screen's available area, centred.
    static QRect restoredGeometry(const QRect& available);

    bool pendingResult() const { return resultPending; }
    // The settings as they will be written at the close.
    const Settings& storedSettings() const { return settings; }
    bool motionMode() const { return motion; }
    bool panelOpen() const { return panel() != nullptr; }
    DeblurPanel* panel() const { return deblurPanel; }
    Toolbar* toolbar() const { return tools; }
    Docker* docker() const { return dock; }
    ImageViewWidget* view() const { return imageView; }
    QString statusText() const;
    const ViewState& viewState() const;
    const ImageBuffer* inputImage() const;
    const ImageBuffer* resultImage() const;

    QAction* motionCorrectionAction() const { return motionAction; }
    // The application menu over the window's actions, made anew; the caller deletes it.
    QMenu* applicationMenu();

public slots:
    void openFocusCorrection() { openCorrection(false); }
    void openMotionCorrection() { openCorrection(true); }
    void showAbout();
    void showApplicationMenu();
    void showOptions();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createActions();
    void createLayout();
    void openCorrection(bool motionCorrection);
    void panelClosed();
    void updateActions();
    void showOverlay();
    void showZoom(double zoom);
    void typedZoom(const QString& text);
    void zoomChosen(int index);
    void closeSequence();

    WindowImages images;
    LocalePaths paths;
    Settings settings; // read at the start, written back at the close
    bool canvasCreated = false;
    bool resultPending = false;
    bool motion = false;
    bool closed = false;
    QPointer<DeblurPanel> deblurPanel; // while it is open

    ImageViewWidget* imageView = nullptr;
    Toolbar* tools = nullptr;
    QLabel* statusLabel = nullptr;
    Docker* dock = nullptr;

    QAction* focusAction = nullptr;
    QAction* motionAction = nullptr;
    QAction* zoomInCommand = nullptr;
    QAction* zoomOutCommand = nullptr;
    QAction* zoom100Command = nullptr;
    QAction* zoomFitCommand = nullptr;
    QAction* menuCommand = nullptr;
    QAction* optionsCommand = nullptr;
    QAction* exitCommand = nullptr;
    QAction* aboutCommand = nullptr;
    QAction* okCommand = nullptr;
    QAction* escapeCommand = nullptr;
};
