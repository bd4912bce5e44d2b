#include "window/mainWindow.h"

#include "choices/engineSetup.h"
#include "locale/localisedStrings.h"
#include "panel/interfaceText.h"
#include "panel/messageBox.h"
#include "settings/settings.h"
#include "skin/applySkin.h"
#include "window/commands.h"
#include "window/docker.h"
#include "window/imageViewWidget.h"
#include "window/optionsDialog.h"
#include "window/toolbar.h"
#include "window/zoomControl.h"

#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>
#include <algorithm>

namespace {

constexpr int StatusBarHeight = 20;

QAction* makeAction(QObject* parent, const QString& text, const QKeySequence& shortcut = {})
{
    auto* action = new QAction(text, parent);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    return action;
}

// A toolbar command's action: its tip is the picture button's name (icon text) and, with the
// shortcut when it has one, its tooltip. No status tip: the status bar keeps its hint.
void setTip(QAction* action, const QString& tip)
{
    action->setIconText(tip);
    const QString keys = action->shortcut().toString(QKeySequence::NativeText);
    action->setToolTip(
        plainToolTip(keys.isEmpty() ? tip : QStringLiteral("%1 (%2)").arg(tip, keys)));
}

} // namespace

MainWindow::MainWindow(WindowImages images, const LocalePaths& paths, QWidget* owner)
    : QMainWindow(owner, Qt::Window)
    , images(images)
    , paths(paths)
{
    setObjectName(QStringLiteral("Morvanclarity"));
    setWindowTitle(QStringLiteral("Morvanclarity"));
    setAccessibleName(windowTitle());

    // Creation, in this order: settings (raising the crash flag) and texts, the crash warning,
    // the status bar, the canvas and view, the toolbar, the docker.
    settings = loadSettings(paths);
    loadStrings(settings.languageCurrent, paths);
    // The window is not on the screen yet: the warning is centred on the screen it will open on.
    if (settings.crashedLastTime) {
        const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
        showMessageBox({this, interfaceText(StringCrashedLastTime), interfaceText(StringWarning),
            BoxButtons::Ok, true, screen ? screen->availableGeometry() : QRect()});
    }

    auto* status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    statusLabel = new QLabel(interfaceText(StringOpenImageHint), status);
    statusLabel->setTextFormat(Qt::PlainText);
    statusLabel->setAccessibleName(QStringLiteral("Status"));
    status->addWidget(statusLabel, 1);
    // Taller where the font needs it (a script whose letters stand higher than the Latin ones).
    status->setFixedHeight(std::max(StatusBarHeight, status->minimumSizeHint().height()));
    setStatusBar(status);

    imageView = new ImageViewWidget(this);
    if (imageView->createCanvas())
        return;
    canvasCreated = true;
    createActions();
    createLayout();
    updateActions();
    applySkin(this);
    for (QWidget* child : {static_cast<QWidget*>(tools), static_cast<QWidget*>(status)})
        child->setAutoFillBackground(true);
    imageView->setFocus();
}

MainWindow::~MainWindow()
{
    if (!closed)
        closeSequence();
}

void MainWindow::createActions()
{
    focusAction
        = makeAction(this, interfaceText(StringMenuOutOfFocus), QKeySequence(Qt::CTRL | Qt::Key_1));
    setTip(focusAction, interfaceText(StringTipOutOfFocus));
    connect(focusAction, &QAction::triggered, this, &MainWindow::openFocusCorrection);
    motionAction
        = makeAction(this, interfaceText(StringMenuMotion), QKeySequence(Qt::CTRL | Qt::Key_2));
    setTip(motionAction, interfaceText(StringTipMotion));
    connect(motionAction, &QAction::triggered, this, &MainWindow::openMotionCorrection);

    zoomInCommand = makeAction(this, interfaceText(StringTipZoomIn));
    setTip(zoomInCommand, interfaceText(StringTipZoomIn));
    zoomOutCommand = makeAction(this, interfaceText(StringTipZoomOut));
    setTip(zoomOutCommand, interfaceText(StringTipZoomOut));
    zoom100Command = makeAction(this, interfaceText(StringTipZoom100));
    setTip(zoom100Command, interfaceText(StringTipZoom100));
    zoomFitCommand = makeAction(this, interfaceText(StringTipFit));
    setTip(zoomFitCommand, interfaceText(StringTipFit));
    connect(zoomInCommand, &QAction::triggered, imageView, &ImageViewWidget::zoomIn);
    connect(zoomOutCommand, &QAction::triggered, imageView, &ImageViewWidget::zoomOut);
    connect(zoom100Command, &QAction::triggered, imageView, &ImageViewWidget::zoom100);
    connect(zoomFitCommand, &QAction::triggered, imageView, &ImageViewWidget::zoomToFit);
    menuCommand = makeAction(this, QStringLiteral("Menu"));
    connect(menuCommand, &QAction::triggered, this, &MainWindow::showApplicationMenu);

    optionsCommand = makeAction(this, interfaceText(StringMenuOptions));
    connect(optionsCommand, &QAction::triggered, this, &MainWindow::showOptions);
    exitCommand = makeAction(this, interfaceText(StringMenuExit));
    connect(exitCommand, &QAction::triggered, this, &QWidget::close);
    aboutCommand
        = makeAction(this, interfaceText(StringMenuAbout), QKeySequence(Qt::ALT | Qt::Key_Slash));
    aboutCommand->setShortcuts(
        {QKeySequence(Qt::ALT | Qt::Key_Slash), QKeySequence(Qt::ALT | Qt::Key_Question)});
    connect(aboutCommand, &QAction::triggered, this, &MainWindow::showAbout);

    // The open panel's OK and Cancel (Abort while its job runs) from anywhere in the window.
    okCommand = makeAction(this, interfaceText(StringOk));
    okCommand->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    connect(okCommand, &QAction::triggered, this, [this] {
        if (deblurPanel)
            deblurPanel->pressOk();
    });
    escapeCommand = makeAction(this, interfaceText(StringCancel), QKeySequence(Qt::Key_Escape));
    connect(escapeCommand, &QAction::triggered, this, [this] {
        if (deblurPanel)
            deblurPanel->escape();
    });
    addActions({focusAction, motionAction, aboutCommand, okCommand, escapeCommand});
}

void MainWindow::createLayout()
{
    tools = new Toolbar(this,
        {focusAction, motionAction, zoomInCommand, zoomOutCommand, zoom100Command, zoomFitCommand,
            menuCommand},
        imageView);
    setMenuWidget(tools);
    connect(tools, &Toolbar::zoomTyped, this, &MainWindow::typedZoom);
    connect(tools, &Toolbar::zoomChosen, this, &MainWindow::zoomChosen);
    connect(imageView, &ImageViewWidget::zoomChanged, this, &MainWindow::showZoom);

    auto* middle = new QWidget(this);
    auto* row = new QHBoxLayout(middle);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(imageView, 1);
    dock = new Docker(middle);
    // The docker takes the panel's width: a stand-in of the panel's size is laid out in it.
    auto* sizing = new QWidget(dock);
    sizing->resize(DeblurPanel::panelSize());
    dock->insertChild(sizing, 0);
    dock->layOut();
    dock->removeChild(sizing);
    delete sizing;
    row->addWidget(dock);
    setCentralWidget(middle);
    tools->zoomBox()->setEnabled(false);
}

void MainWindow::updateActions()
{
    const bool editing = deblurPanel == nullptr;
    focusAction->setEnabled(editing);
    motionAction->setEnabled(editing);
    menuCommand->setEnabled(editing);
    okCommand->setEnabled(!editing);
    escapeCommand->setEnabled(!editing);
}

QString MainWindow::statusText() const
{
    return statusLabel->text();
}

const ViewState& MainWindow::viewState() const
{
    return imageView->viewState();
}

const ImageBuffer* MainWindow::inputImage() const
{
    return imageView->inputImage();
}

const ImageBuffer* MainWindow::resultImage() const
{
    return imageView->resultImage();
}

QRect MainWindow::restoredGeometry(const QRect& available)
{
    const QSize size(available.width() * 4 / 5, available.height() * 4 / 5);
    const QPoint topLeft(available.left() + (available.width() - size.width()) / 2,
        available.top() + (available.height() - size.height()) / 2);
    return QRect(topLeft, size);
}

void MainWindow::showImage()
{
    if (!canvasCreated)
        return;
    statusLabel->setText(interfaceText(StringViewHint));
    imageView->showImages(images.sourceImage, images.maskImage);
    showZoom(imageView->viewState().zoom);
    resultPending = false;
    tools->zoomBox()->setEnabled(true);
    imageView->setFocus();
}

void MainWindow::showZoom(double zoom)
{
    tools->showZoomText(QString::fromStdString(zoomText(zoom)));
}

void MainWindow::typedZoom(const QString& text)
{
    const std::optional<double> zoom = parseTypedZoom(text.toStdU16String());
    if (zoom)
        imageView->setZoom(*zoom);
    else
        showZoom(imageView->viewState().zoom); // the previous zoom's text again
    imageView->setFocus();
}

void MainWindow::zoomChosen(int index)
{
    imageView->setZoom(zoomOfListPosition(index));
    imageView->setFocus();
}

void MainWindow::openCorrection(bool motionCorrection)
{
    if (deblurPanel || closed)
        return;
    if (resultPending
        && showMessageBox({this, interfaceText(StringUnsavedSignedImage),
               interfaceText(StringWarning), BoxButtons::YesNo, true})
            != BoxAnswer::Yes)
        return;
    resultPending = false; // the panel shows the unprocessed image: the result is given up
    motion = motionCorrection;
    configureEngineFor(FftPlanning::Quick, paths.settingsFolder);
    const PanelView view {imageView, imageView->inputImage(), imageView->resultImage(),
        imageView->imageView(), &imageView->viewState()};
    deblurPanel = new DeblurPanel(
        view, motionCorrection, {settings.method, settings.power, settings.noise}, dock);
    connect(deblurPanel, &DeblurPanel::overlayChanged, this, &MainWindow::showOverlay);
    connect(deblurPanel, &DeblurPanel::resultChanged, imageView,
        [this] { imageView->renderResult(true); });
    connect(deblurPanel, &DeblurPanel::resultAreaChanged, imageView,
        &ImageViewWidget::renderResultArea);
    connect(deblurPanel, &DeblurPanel::choicesUsed, this, [this](const PanelChoices& used) {
        settings.method = used.method;
        settings.power = used.power;
        settings.noise = used.noise;
    });
    connect(deblurPanel, &DeblurPanel::resultKept, this, [this] { resultPending = true; });
    connect(deblurPanel, &DeblurPanel::closed, this, &MainWindow::panelClosed);
    connect(deblurPanel, &DeblurPanel::estimateReported, statusLabel, &QLabel::setText);
    dock->insertChild(deblurPanel, 0);
    dock->layOut();
    deblurPanel->show();
    updateActions();
    showOverlay();
}

void MainWindow::showOverlay()
{
    if (deblurPanel)
        imageView->setOverlay(
            deblurPanel->motionLine(), deblurPanel->lineHidden(), deblurPanel->shownPreviewRect());
    else
        imageView->setOverlay({}, false, std::nullopt);
}

void MainWindow::panelClosed()
{
    if (deblurPanel)
        dock->removeChild(deblurPanel);
    deblurPanel = nullptr;
    showOverlay();
    updateActions();
    imageView->setFocus();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!closed)
        closeSequence();
    QMainWindow::closeEvent(event);
}
