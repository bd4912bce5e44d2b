#pragma once

// The deblur panel: the side panel (in the main window's docker) that gathers the parameters of
// an out-of-focus or motion correction, shows a live preview in a 300 x 300 rectangle of the
// image, lets the user draw the motion line on the image, checks that the job fits in memory,
// and starts, watches and ends the full job.
//
// Everything here runs on the user-interface thread. While the full job runs, the parameters,
// the kernel, the motion line and the images it reads stay unchanged: the controls are disabled,
// mouse edits over the image are ignored and no preview runs until its completion is handled.

#include "image/imageBuffer.h"
#include "panel/previewRect.h"
#include "view/imageView.h"
#include "view/viewTransform.h"

#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <functional>

class DetailSlider;
class JobProgressBar;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class WindowMessageEvent;

// The last mouse event over the main window's view, as the window passes it on.
struct PanelPointer {
    ImagePoint position {0, 0}; // client pixels of the main window (device pixels)
    QPoint global; // screen position, where a pop-up menu opens
    bool control = false; // Ctrl was held
};

// What the panel works on, given by the main window at creation.
struct PanelHost {
    QWidget* mainWindow; // receives the panel's render and job requests
    QWidget* docker; // the panel's parent
    ImageView* view; // the motion line and the preview rectangle are drawn there
    const ViewState* viewState; // how the view shows the image (client device pixels)
    const ImageBuffer* inputImage; // the unprocessed image
    ImageBuffer* resultImage; // what the view shows: the preview or the job's result
    const PanelPointer* pointer;
    std::function<void()> closed; // the window's part of closing: toolbar buttons, docker
};

// The panel's controls, by their ids.
enum PanelControl {
    OkControl = 1,
    CancelControl = 2,
    DetailTrackbar = 1072,
    DetailValue = 1073,
    DetailLabel = 1076,
    ProgressControl = 1079,
    AbortControl = 1080,
    NoiseCombo = 1082,
    MotionHint = 1083,
    PowerCombo = 1084,
    PreviewCheck = 1088,
    ImportControl = 1089,
    DropKernelControl = 1090,
    PowerLabel = 1093,
    NoiseLabel = 1094,
    MethodCombo = 1095,
    MemoryWarning = 1096,
    MethodLabel = -1,
};

// Commands of the motion point's menu.
constexpr int DuplicatePointCommand = 4261;
constexpr int DeletePointCommand = 4262;

// The notification with which the panel runs its selection handling once at the start, with no
// preview.
constexpr int InitialSelection = 0xFFAC;

// Window messages the panel takes besides the private ones.
constexpr int SetCursorMessage = 0x0020; // lParam: the mouse message times 65536
constexpr int CommandMessage = 0x0111; // wParam: the command (control id)
constexpr int MouseMoveMessage = 0x0200;
constexpr int LeftDownMessage = 0x0201;
constexpr int LeftUpMessage = 0x0202;
constexpr int RightDownMessage = 0x0204;
constexpr int RightUpMessage = 0x0205;

class DeblurPanel : public QWidget {
public:
    // Creates and initialises the panel for deblurParams.motionMode: the view shows the
    // unprocessed image, the controls take the stored settings.
    DeblurPanel(const PanelHost& host, QWidget* docker);
    ~DeblurPanel() override;

    // The panel's size, in the dialog units of its font.
    static QSize panelSize();

    QWidget* control(int id) const;
    QObject* progressBar() const;
    const PreviewRect& previewRect() const { return preview; }
    bool jobRunning() const { return running; }
    // The point menu while it is up, else null.
    QMenu* pointMenu() const { return menu; }

    // Runs command `id` as its control would.
    void command(int id, int notification = 0);

    // The main window is closing and waits for the job: its completion only lets the worker
    // end, with no preview, render or message box after it.
    void windowClosing() { hostClosing = true; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void createControls();
    void initialise();
    void handleMessage(WindowMessageEvent* message);
    void selectionChanged(int notification);
    void checkMemory();
    void trackbarScrolled(int code);
    void previewToggled();
    void importKernel();
    void dropImportedKernel();
    void setParameterControlsEnabled(bool enabled);
    void setKernelChoice(bool imported);
    void enableNoiseChoice(bool enabled);
    void showUnprocessed();
    void releaseView();

    // Job control.
    void runPreview();
    bool buildKernel(double motionSpread);
    void okOrCancel(bool ok);
    void returnToEditing();
    void jobFinished();
    void jobAborted(bool failed);
    void close(bool keepResult);
    void warnKernel();

    // Mouse edits over the image.
    void mouseOverImage(int message);
    void openPointMenu();
    void pointMenuCommand(int command);
    void setCursors(Qt::CursorShape shape);
    bool previewChecked() const;
    ImageSize imageSize() const;
    ViewTransform transform() const;
    int toDevice(int logical) const;
    void sendToWindow(int message);

    PanelHost host;
    PreviewRect preview;
    bool previewAttached = false;
    bool running = false; // the full job runs
    bool hostClosing = false;
    bool viewReleased = false; // the motion line is freed and the rectangle detached
    int menuPoint = -1; // the point the menu was opened on
    QPointer<QMenu> menu;

    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QLabel* motionHint = nullptr;
    QLabel* detailLabel = nullptr;
    DetailSlider* detail = nullptr;
    QLabel* detailValue = nullptr;
    QCheckBox* previewBox = nullptr;
    QPushButton* importButton = nullptr;
    QPushButton* dropButton = nullptr;
    QLabel* methodLabel = nullptr;
    QComboBox* method = nullptr;
    QLabel* powerLabel = nullptr;
    QComboBox* power = nullptr;
    QLabel* noiseLabel = nullptr;
    QComboBox* noise = nullptr;
    JobProgressBar* progress = nullptr;
    QPushButton* abortButton = nullptr;
    QLabel* memoryWarning = nullptr;
};
