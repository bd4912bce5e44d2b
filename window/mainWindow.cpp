#include "window/mainWindow.h"

#include "engine/abort.h"
#include "locale/localisedStrings.h"
#include "locale/settings.h"
#include "panel/engineSetup.h"
#include "panel/interfaceText.h"
#include "panel/messageBox.h"
#include "panel/panelState.h"
#include "platform/windowMessage.h"
#include "skin/applySkin.h"
#include "skin/skinColors.h"
#include "view/renderView.h"
#include "view/resample.h"
#include "window/commands.h"
#include "window/docker.h"
#include "window/optionsDialog.h"
#include "window/toolbar.h"
#include "window/viewNavigation.h"
#include "window/zoomControl.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QToolButton>
#include <QWheelEvent>
#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

constexpr int StatusBarHeight = 20;
constexpr int WorkspaceColor = 12; // the skin slot the canvas starts filled with

bool hasPixels(const ImageBuffer* image)
{
    return image && image->data && image->width > 0 && image->height > 0;
}

bool sameGeometry(const ImageBuffer& a, const ImageBuffer& b)
{
    return a.width == b.width && a.height == b.height && a.channels == b.channels
        && a.bitsPerChannel == b.bitsPerChannel;
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

// Copies a device-pixel rectangle of the canvas to the same place of the window, unscaled.
bool copyToWindow(void* context, const ImageBuffer* pixels, ImageRect rect)
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

MainWindow::MainWindow(WindowImages images, const LocalePaths& paths, QWidget* owner)
    : QWidget(nullptr, Qt::Window)
    , images(images)
    , paths(paths)
    , owner(owner)
{
    setObjectName(QStringLiteral("Morvanclarity"));
    setWindowTitle(QStringLiteral("Morvanclarity"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent); // the view area is painted whole from the canvas

    // Creation, in this order: settings (raising the crash flag) and texts, the crash warning,
    // the status bar, the canvas and view, the toolbar, the docker.
    resultPending = false;
    loadSettings(paths);
    loadStrings(paths);
    if (settings.crashedLastTime)
        showMessageBox({this, interfaceText(StringCrashedLastTime), interfaceText(StringWarning),
            BoxButtons::Ok, true});
    deblurParams.importedKernel = false;
    releaseImage(&deblurParams.kernel);
    resetImage(&deblurParams.kernel);
    workImage = OwnedImage();

    status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    status->setFixedHeight(StatusBarHeight);
    statusLabel = new QLabel(interfaceText(StringOpenImageHint), status);
    statusLabel->setAccessibleName(QStringLiteral("Status"));
    status->addWidget(statusLabel, 1);

    if (createCanvas(&canvas, this, skinColor(WorkspaceColor), largestScreen()))
        return;
    canvasCreated = true;
    attachView(&view, this, &canvas);
    view.darkScheme = isDarkScheme(skinSchemeMode());
    view.importedKernel = &deblurParams.importedKernel;

    tools = new Toolbar(this, [](QWidget* window, int command) {
        static_cast<MainWindow*>(window)->runCommand(command);
    });
    setResamplingMode(&view, BilinearResampling);
    tools->button(FocusCorrectionCommand)->setEnabled(true);
    tools->button(MotionCorrectionCommand)->setEnabled(true);
    state.zoom = 1;

    // The docker takes the panel's width: a stand-in of the panel's size is laid out in it and
    // taken out again.
    dock = new Docker(this, DockSide::Right);
    auto* sizing = new QWidget(dock);
    sizing->resize(DeblurPanel::panelSize());
    dock->insertChild(sizing, 0);
    dock->layOut();
    dock->removeChild(sizing);
    delete sizing;
    deblurPanel = nullptr;
    dock->show();

    tools->zoomBox()->setEnabled(false);
    setCursor(Qt::ArrowCursor);
    applySkin(this);
    for (QWidget* child : {static_cast<QWidget*>(tools), static_cast<QWidget*>(status)})
        child->setAutoFillBackground(true);
}

MainWindow::~MainWindow()
{
    if (!closed)
        closeSequence();
}

QString MainWindow::statusText() const
{
    return statusLabel->text();
}

int MainWindow::toDevice(int logical) const
{
    return int(std::lround(logical * devicePixelRatioF()));
}

ImagePoint MainWindow::devicePoint(QPointF logical) const
{
    const double ratio = devicePixelRatioF();
    return {std::int32_t(std::floor(logical.x() * ratio)),
        std::int32_t(std::floor(logical.y() * ratio))};
}

ImageSize MainWindow::clientSize() const
{
    return {toDevice(width()), toDevice(height())};
}

int MainWindow::toolbarHeight() const
{
    return tools ? toDevice(tools->height()) : 0;
}

int MainWindow::statusBarHeight() const
{
    return toDevice(status->height());
}

int MainWindow::dockerLeft() const
{
    return dock && dock->isVisible() ? toDevice(dock->x()) : clientSize().width;
}

ImageRect MainWindow::viewArea() const
{
    const ImageSize client = clientSize();
    return {0, toolbarHeight(), dockerLeft(), client.height - statusBarHeight()};
}

bool MainWindow::imageShown() const
{
    return hasPixels(&canvas.inputImage);
}

void MainWindow::render(int slot, int reuseCopy, bool repaintNow)
{
    if (!canvasCreated || closed)
        return;
    const ImageBuffer* image = slot == InputSlot ? &canvas.inputImage : &canvas.resultImage;
    (void)renderView(&view, state, {clientSize(), reuseCopy, image, slot, 1, &canvas.overlayImage});
    if (repaintNow)
        repaintView();
}

void MainWindow::repaintView()
{
    const double ratio = devicePixelRatioF();
    const ImageRect area = viewArea();
    repaint(QRectF(area.left / ratio, area.top / ratio, (area.right - area.left) / ratio,
        (area.bottom - area.top) / ratio)
                .toAlignedRect());
}

void MainWindow::showZoom()
{
    tools->showZoomText(QString::fromStdString(zoomText(state.zoom)));
    setFocus();
}

void MainWindow::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const double ratio = devicePixelRatioF();
    const ImageRect area = viewArea();
    const QRect viewRect = QRectF(area.left / ratio, area.top / ratio,
        (area.right - area.left) / ratio, (area.bottom - area.top) / ratio)
                               .toAlignedRect();
    const QRect paint = event->rect() & viewRect;
    if (paint.isEmpty())
        return;
    painter.setClipRect(paint);
    PaintContext context {&painter, ratio};
    const ImageRect rect {int(std::floor(paint.left() * ratio)),
        int(std::floor(paint.top() * ratio)), int(std::ceil((paint.right() + 1) * ratio)),
        int(std::ceil((paint.bottom() + 1) * ratio))};
    (void)blitCanvas(&canvas, rect, copyToWindow, &context);
}

void MainWindow::resizeEvent(QResizeEvent*)
{
    if (!tools)
        return;
    const int statusTop = height() - status->height();
    status->setGeometry(0, statusTop, width(), status->height());
    tools->setGeometry(0, 0, width(), tools->height());
    tools->layOutItems();
    dock->setGeometry(width() - dock->width(), tools->height(), dock->width(),
        std::max(0, statusTop - tools->height()));
    render(ResultSlot, 1);
}

bool MainWindow::event(QEvent* event)
{
    if (event->type() == WindowMessageEvent::eventType()) {
        handleMessage(static_cast<WindowMessageEvent*>(event));
        return true;
    }
    return QWidget::event(event);
}

void MainWindow::handleMessage(WindowMessageEvent* message)
{
    switch (message->number) {
    case RenderFreshMessage:
        render(ResultSlot, 0);
        break;
    case RenderCachedMessage:
    case RenderPointsMessage:
        render(ResultSlot, 1);
        break;
    case JobFinishedMessage:
        resultPending = true;
        break;
    case JobAbortedMessage:
        resultPending = false;
        if (hasPixels(workImage.get()) && sameGeometry(*workImage.get(), canvas.resultImage))
            copyImagePixels(&canvas.resultImage, workImage.get());
        render(ResultSlot, 0, false);
        break;
    case StartJobMessage:
        startJob(message->wParam, message->lParam);
        break;
    case TypedZoomMessage:
        typedZoom();
        break;
    case UpdatePointsMessage:
        updateScreenPoints(&view, state);
        break;
    case FirstDisplayMessage:
        firstDisplay();
        break;
    default:
        break;
    }
}

void MainWindow::firstDisplay()
{
    if (!canvasCreated)
        return;
    copyWhole(&canvas.inputImage, images.sourceImage);
    copyWhole(&canvas.resultImage, images.sourceImage);
    copyWhole(&canvas.overlayImage, images.maskImage);
    statusLabel->setText(interfaceText(StringViewHint));
    dragging = false;
    if (imageShown()) {
        const ImageSize client = clientSize();
        const int viewWidth = client.width - (dock->isVisible() ? toDevice(dock->width()) : 0);
        const int viewHeight = client.height - statusBarHeight() - toolbarHeight() + 2;
        state = initialFit({canvas.inputImage.width, canvas.inputImage.height}, viewWidth,
            viewHeight, toolbarHeight());
    }
    showZoom();
    // The input's copy is rebuilt first, without drawing; the result is drawn last, so what the
    // render draws over the image (the transparency, the preview outline) stays on screen once.
    (void)renderView(
        &view, state, {clientSize(), 0, &canvas.inputImage, InputSlot, 0, &canvas.overlayImage});
    render(ResultSlot, 0, false);
    repaintView();
    resultPending = false;
    tools->zoomBox()->setEnabled(true);
    setFocus();
}

void MainWindow::runCommand(int command)
{
    if (closed)
        return;
    activateWindow();
    switch (command) {
    case AboutCommand:
        showAbout();
        break;
    case ExitCommand:
        close();
        break;
    case FocusCorrectionCommand:
    case MotionCorrectionCommand:
        openCorrection(command == MotionCorrectionCommand);
        break;
    case OptionsCommand:
        runOptionsFlow(this, paths);
        break;
    case ZoomInCommand:
    case ZoomOutCommand:
        if (!imageShown())
            break;
        state.zoom = command == ZoomInCommand
            ? zoomInStep(state.zoom)
            : zoomOutStep(state.zoom, {canvas.inputImage.width, canvas.inputImage.height});
        showZoom();
        render(ResultSlot, 1);
        break;
    case PanLeftCommand:
    case PanRightCommand:
    case PanUpCommand:
    case PanDownCommand:
        state.viewCenterX += command == PanLeftCommand ? -PanStep
            : command == PanRightCommand               ? PanStep
                                                       : 0;
        state.viewCenterY += command == PanUpCommand ? -PanStep
            : command == PanDownCommand              ? PanStep
                                                     : 0;
        render(ResultSlot, 1);
        break;
    case Zoom100Command:
        zoom100();
        break;
    case ZoomFitCommand:
        zoomToFit();
        break;
    case ZoomBoxCommand:
        zoomBoxChosen();
        break;
    case MenuCommand:
        showApplicationMenu();
        break;
    default:
        break;
    }
}

void MainWindow::showAbout()
{
    showMessageBox({this,
        QStringLiteral("Morvanclarity Plug-In, Version 2.2 \n"
                       "Copyright (C) the Morvanclarity developers.\n"
                       "Richardson-Lucy deblurring for photographs."),
        interfaceText(StringAbout), BoxButtons::Ok, true});
}

void MainWindow::showApplicationMenu()
{
    QToolButton* button = tools->button(MenuCommand);
    if (!button->isEnabled())
        return;
    QMenu* menu = buildApplicationMenu(this);
    const QAction* chosen = menu->exec(button->mapToGlobal(button->rect().bottomLeft()));
    const int command = chosen ? chosen->data().toInt() : 0;
    delete menu;
    if (command)
        runCommand(command);
}

void MainWindow::openCorrection(bool motionCorrection)
{
    if (resultPending
        && showMessageBox({this, interfaceText(StringUnsavedSignedImage),
               interfaceText(StringWarning), BoxButtons::YesNo, true})
            != BoxAnswer::Yes)
        return;
    resultPending = false; // the panel shows the unprocessed image: the result is given up
    motion = motionCorrection;
    deblurParams.motionMode = motionCorrection;
    configureEngineForWindow(paths.settingsFolder);
    PanelHost host {this, dock, &view, &state, &canvas.inputImage, &canvas.resultImage, &pointer,
        [this] { panelClosed(); }};
    deblurPanel = new DeblurPanel(host, dock);
    dock->insertChild(deblurPanel, 0);
    dock->layOut();
    deblurPanel->show();
    for (int command : {FocusCorrectionCommand, MotionCorrectionCommand, MenuCommand})
        tools->button(command)->setEnabled(false);
    update();
}

void MainWindow::panelClosed()
{
    if (deblurPanel)
        dock->removeChild(deblurPanel);
    deblurPanel = nullptr;
    for (int command : {FocusCorrectionCommand, MotionCorrectionCommand, MenuCommand})
        tools->button(command)->setEnabled(true);
    setViewCursor(Qt::ArrowCursor);
}

void MainWindow::typedZoom()
{
    const std::u16string typed = tools->zoomBox()->currentText().toStdU16String();
    const std::optional<double> zoom = parseTypedZoom(typed);
    if (!zoom) {
        showZoom(); // the previous zoom's text again
        return;
    }
    state.zoom = *zoom;
    showZoom();
    anchor = {0, 0};
    render(ResultSlot, 1);
}

void MainWindow::zoomBoxChosen()
{
    state.zoom = zoomOfListPosition(tools->zoomBox()->currentIndex());
    showZoom();
    anchor = {0, 0};
    render(ResultSlot, 1);
}

void MainWindow::zoom100()
{
    if (!imageShown())
        return;
    dragging = false;
    anchor = {0, 0};
    const ImageSize client = clientSize();
    const int viewWidth = dockerLeft();
    const int viewHeight = client.height - toolbarHeight() - 22;
    state.viewCenterX = viewWidth / 2;
    state.viewCenterY = viewHeight / 2 + toolbarHeight() + 2;
    state.zoom = 1;
    showZoom();
    render(ResultSlot, 1);
}

void MainWindow::zoomToFit()
{
    if (!imageShown())
        return;
    dragging = false;
    anchor = {0, 0};
    const ImageSize client = clientSize();
    const int top = toolbarHeight() + 2;
    state = fitView({canvas.inputImage.width, canvas.inputImage.height},
        {0, top, dockerLeft(), top + client.height - toolbarHeight() - 22});
    showZoom();
    render(ResultSlot, 1);
}

void MainWindow::startJob(std::uintptr_t wParam, std::intptr_t lParam)
{
    // The previous worker has posted its completion and is ending: it is joined, not aborted,
    // or the flag the panel has just cleared would stop the new job.
    if (worker.joinable())
        waitForJob(false);
    copyWhole(workImage.get(), &canvas.inputImage);
    job = {workImage.get(), &canvas.resultImage, wParam, lParam, deblurPanel,
        deblurPanel ? deblurPanel->progressBar() : nullptr};
    const JobRunner runner = jobRunner();
    workerRunning = true;
    try {
        worker = std::thread([this, runner] {
            runner(job, this);
            workerRunning = false;
        });
    } catch (...) {
        // No thread: the job ends without a result, as the panel expects of a failed start.
        workerRunning = false;
        QObject* told = deblurPanel ? static_cast<QObject*>(deblurPanel) : this;
        postWindowMessage(told, JobAbortedMessage, JobFailed);
    }
}

void MainWindow::waitForJob(bool abort)
{
    if (abort && workerRunning)
        requestAbort();
    // The worker's renders are sent to this thread and wait for it: keep handling them.
    while (workerRunning) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (worker.joinable())
        worker.join();
}

void MainWindow::closeSequence()
{
    closed = true;
    if (deblurPanel)
        deblurPanel->windowClosing();
    const bool jobWasRunning = workerRunning;
    waitForJob(true);
    if (canvasCreated) {
        // A job cut short by the close leaves a half-written result: the host gets its input.
        const ImageBuffer& handBack = jobWasRunning ? canvas.inputImage : canvas.resultImage;
        if (hasPixels(&handBack) && hasPixels(images.sourceImage)
            && sameGeometry(handBack, *images.sourceImage))
            copyImagePixels(images.sourceImage, &handBack);
    }
    // The panel goes before the view it draws on; the job that read it has ended.
    if (deblurPanel)
        dock->removeChild(deblurPanel);
    delete deblurPanel;
    deblurPanel = nullptr;
    saveSettingsAtClose(paths);
    releaseImage(&deblurParams.kernel);
    resetImage(&deblurParams.kernel);
    deblurParams.importedKernel = false;
    workImage = OwnedImage();
    if (canvasCreated) {
        detachView(&view);
        destroyCanvas(&canvas);
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!closed)
        closeSequence();
    event->accept();
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Control && motion && deblurPanel) {
        setViewCursor(Qt::CrossCursor);
        return;
    }
    const QString typed = event->text();
    const bool alt = event->modifiers() & Qt::AltModifier;
    if (alt && (event->key() == Qt::Key_Slash || event->key() == Qt::Key_Question))
        runCommand(AboutCommand);
    else if (typed == QStringLiteral("+"))
        runCommand(ZoomInCommand);
    else if (typed == QStringLiteral("-"))
        runCommand(ZoomOutCommand);
    else if (event->key() == Qt::Key_Left)
        runCommand(PanLeftCommand);
    else if (event->key() == Qt::Key_Right)
        runCommand(PanRightCommand);
    else if (event->key() == Qt::Key_Up)
        runCommand(PanUpCommand);
    else if (event->key() == Qt::Key_Down)
        runCommand(PanDownCommand);
    else
        QWidget::keyPressEvent(event);
}

void MainWindow::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Control && motion && deblurPanel) {
        setViewCursor(Qt::ArrowCursor);
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void MainWindow::setViewCursor(Qt::CursorShape shape)
{
    setCursor(shape);
    dock->setCursor(shape);
    if (deblurPanel)
        deblurPanel->setCursor(shape);
}

// Every mouse event over the view goes to the open panel as a set-cursor message (the panel
// picks the cursor and edits the motion line and the preview rectangle), except while the
// window itself pans the image.
void MainWindow::forwardToPanel(int mouseMessage, const QMouseEvent* event)
{
    pointer.position = devicePoint(event->position());
    pointer.global = event->globalPosition().toPoint();
    pointer.control = event->modifiers() & Qt::ControlModifier;
    if (deblurPanel && !dragging)
        sendWindowMessage(deblurPanel, SetCursorMessage, 0, std::intptr_t(mouseMessage) * 65536);
}

// The panel has taken the mouse: it drags the preview rectangle, or in motion mode a point is
// under the cursor.
bool MainWindow::panelTakesMouse() const
{
    return deblurPanel
        && (panelState.panelMouseMode == DraggingPreviewRect
            || (motion && panelState.hotPoint >= 0));
}

void MainWindow::mousePressEvent(QMouseEvent* event)
{
    const ImagePoint point = devicePoint(event->position());
    if (event->button() == Qt::RightButton) {
        forwardToPanel(RightDownMessage, event);
        if (panelState.pointMenuOpen)
            return; // the point's menu, not the comparison
        if (hasPixels(&canvas.inputImage))
            render(InputSlot, 1);
        else
            repaintView();
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    forwardToPanel(LeftDownMessage, event);
    if (panelTakesMouse())
        return;
    if (deblurPanel && motion && (event->modifiers() & Qt::ControlModifier))
        return; // the panel inserts a motion-line point
    const ImageRect area = viewArea();
    if (point.y >= toolbarHeight() + 2 && point.y <= area.bottom && point.x >= 0
        && point.x <= area.right) {
        dragging = true;
        anchor = point;
    }
}

void MainWindow::mouseMoveEvent(QMouseEvent* event)
{
    const ImagePoint point = devicePoint(event->position());
    forwardToPanel(MouseMoveMessage, event);
    if (panelTakesMouse())
        return;
    const ImageRect area = viewArea();
    if ((event->buttons() & Qt::LeftButton) && dragging && point.x < area.right
        && point.y >= area.top && point.y < area.bottom) {
        state.imageCenterX += (anchor.x - point.x) / state.zoom;
        state.imageCenterY += (anchor.y - point.y) / state.zoom;
        render(ResultSlot, 1);
        anchor = point;
    }
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        forwardToPanel(RightUpMessage, event);
        if (hasPixels(&canvas.resultImage))
            render(ResultSlot, 1);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    forwardToPanel(LeftUpMessage, event);
    dragging = false;
}

void MainWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        zoomToFit();
}

void MainWindow::wheelEvent(QWheelEvent* event)
{
    event->accept();
    if (!imageShown() || dragging)
        return;
    const QPoint delta = event->angleDelta();
    const int notch = delta.y() != 0 ? delta.y() : delta.x();
    state = wheelZoom(state, devicePoint(event->position()),
        {canvas.inputImage.width, canvas.inputImage.height}, notch > 0);
    showZoom();
    render(ResultSlot, 1);
}

void MainWindow::leaveEvent(QEvent*)
{
    dragging = false;
}
