#include "panel/deblurPanel.h"

#include "engine/abort.h"
#include "engine/pointSpread.h"
#include "image/imageFormat.h"
#include "image/ownedImage.h"
#include "locale/settings.h"
#include "panel/detailSlider.h"
#include "panel/dialogUnits.h"
#include "panel/interfaceText.h"
#include "panel/jobProgressBar.h"
#include "panel/memoryCheck.h"
#include "panel/motionLine.h"
#include "panel/panelState.h"
#include "panel/psfImport.h"
#include "platform/memoryStatus.h"
#include "platform/windowMessage.h"
#include "skin/applySkin.h"
#include "skin/skinSlots.h"
#include "skin/skinStyle.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QWheelEvent>
#include <cmath>

namespace {

constexpr int PanelWidthUnits = 187;
constexpr int PanelHeightUnits = 178;
constexpr int ComboHeightUnits = 12; // the closed box; its list drops to the table's height
const QColor WarningText(250, 50, 50);

void place(QWidget* control, int id, int x, int y, int width, int height)
{
    control->setGeometry(dialogRect(dialogBaseUnits(dialogFont()), x, y, width, height));
    control->setObjectName(QStringLiteral("control%1").arg(id));
}

QLabel* makeLabel(QWidget* parent, int id, QRect units, const QString& text)
{
    auto* label = new QLabel(text, parent);
    place(label, id, units.x(), units.y(), units.width(), units.height());
    label->setAccessibleName(text);
    return label;
}

QPushButton* makeButton(QWidget* parent, int id, QRect units, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    place(button, id, units.x(), units.y(), units.width(), units.height());
    button->setAccessibleName(text);
    button->setAutoDefault(false);
    return button;
}

QComboBox* makeCombo(QWidget* parent, int id, QRect units, std::initializer_list<int> items,
    const QString& accessibleName)
{
    auto* combo = new QComboBox(parent);
    place(combo, id, units.x(), units.y(), units.width(), ComboHeightUnits);
    for (int item : items)
        combo->addItem(interfaceText(item));
    combo->setAccessibleName(accessibleName);
    return combo;
}

void enableAll(std::initializer_list<QWidget*> controls, bool enabled)
{
    for (QWidget* control : controls)
        control->setEnabled(enabled);
}

// The selection of a stored value: 0 and 1 select themselves, anything else the last item.
int storedSelection(int value, int lastItem)
{
    return value == 0 || value == 1 ? value : lastItem;
}

} // namespace

QSize DeblurPanel::panelSize()
{
    return dialogRect(dialogBaseUnits(dialogFont()), 0, 0, PanelWidthUnits, PanelHeightUnits)
        .size();
}

DeblurPanel::DeblurPanel(const PanelHost& host, QWidget* docker)
    : QWidget(docker)
    , host(host)
{
    setObjectName(QStringLiteral("deblurPanel"));
    setFont(dialogFont());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(panelSize());
    createControls();
    initialise();
}

DeblurPanel::~DeblurPanel()
{
    // A panel that closed itself has handed the view back already, and the window may be gone
    // by the time its deferred deletion comes.
    if (!viewReleased)
        releaseView();
    panelState.panelOpen = false;
    panelState.panelMouseMode = NoMouseDrag;
    panelState.hotPoint = -1;
    panelState.pointMenuOpen = false;
}

// The view must not keep pointing at the rectangle or at a line no one frees.
void DeblurPanel::releaseView()
{
    freeMotionLine(host.view);
    host.view->previewRect = nullptr;
    previewAttached = false;
    viewReleased = true;
}

void DeblurPanel::createControls()
{
    ok = makeButton(this, OkControl, {40, 160, 50, 14}, interfaceText(StringOk));
    cancel = makeButton(this, CancelControl, {92, 160, 50, 14}, interfaceText(StringCancel));
    motionHint = makeLabel(this, MotionHint, {8, 5, 155, 31}, interfaceText(StringMotionLineHint));
    motionHint->setWordWrap(true);
    motionHint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    detailLabel = makeLabel(this, DetailLabel, {8, 12, 103, 8}, interfaceText(StringSetDetails));
    detail = new DetailSlider(this);
    place(detail, DetailTrackbar, 6, 21, 176, 13);
    detail->setAccessibleName(interfaceText(StringSetDetails));
    detailLabel->setBuddy(detail);
    detailValue = makeLabel(this, DetailValue, {113, 13, 19, 8}, QStringLiteral("12"));
    previewBox = new QCheckBox(interfaceText(StringPreview), this);
    place(previewBox, PreviewCheck, 9, 40, 74, 10);
    previewBox->setAccessibleName(interfaceText(StringPreview));
    importButton
        = makeButton(this, ImportControl, {84, 37, 80, 14}, interfaceText(StringImportPsf));
    dropButton = makeButton(this, DropKernelControl, {166, 37, 16, 14}, QStringLiteral("X"));
    methodLabel = makeLabel(this, MethodLabel, {10, 59, 62, 8}, interfaceText(StringMethodLabel));
    method = makeCombo(this, MethodCombo, {84, 57, 98, 65}, {StringProgressive, StringSmoothing},
        interfaceText(StringMethodLabel));
    powerLabel = makeLabel(this, PowerLabel, {10, 73, 68, 8}, interfaceText(StringPowerLabel));
    power = makeCombo(this, PowerCombo, {10, 83, 75, 65}, {StringLow, StringMedium, StringHigh},
        interfaceText(StringPowerLabel));
    noiseLabel = makeLabel(this, NoiseLabel, {90, 74, 92, 8}, interfaceText(StringNoiseLevel));
    noise = makeCombo(this, NoiseCombo, {88, 83, 94, 65}, {StringClear, StringMedium, StringNoisy},
        interfaceText(StringNoiseLevel));
    methodLabel->setBuddy(method);
    powerLabel->setBuddy(power);
    noiseLabel->setBuddy(noise);
    progress = new JobProgressBar(this);
    place(progress, ProgressControl, 10, 104, 125, 14);
    progress->setAccessibleName(QStringLiteral("Progress"));
    abortButton = makeButton(this, AbortControl, {138, 104, 44, 14}, interfaceText(StringAbort));
    memoryWarning
        = makeLabel(this, MemoryWarning, {9, 124, 173, 31}, interfaceText(StringTooLargeTry64Bits));
    memoryWarning->setWordWrap(true);
    memoryWarning->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette warning = memoryWarning->palette();
    warning.setColor(QPalette::WindowText, WarningText);
    warning.setColor(QPalette::Window, skinQColor(MenuSlot));
    memoryWarning->setPalette(warning);

    connect(ok, &QPushButton::clicked, this, [this] { command(OkControl); });
    connect(cancel, &QPushButton::clicked, this, [this] { command(CancelControl); });
    connect(abortButton, &QPushButton::clicked, this, [this] { command(AbortControl); });
    connect(importButton, &QPushButton::clicked, this, [this] { command(ImportControl); });
    connect(dropButton, &QPushButton::clicked, this, [this] { command(DropKernelControl); });
    connect(previewBox, &QCheckBox::clicked, this, [this] { command(PreviewCheck); });
    for (QComboBox* combo : {method, power, noise}) {
        const int id = combo == method ? MethodCombo : combo == power ? PowerCombo : NoiseCombo;
        connect(combo, &QComboBox::activated, this, [this, id] { command(id); });
    }
    detail->scrolled = [this](int code) { trackbarScrolled(code); };
}

void DeblurPanel::initialise()
{
    panelState.closing = false;
    panelState.lastInsertionTick = 0;
    panelState.hotPoint = -1;
    panelState.previewRectHover = false;
    panelState.panelOpen = true;
    panelState.resultReady = false;
    panelState.panelMouseMode = NoMouseDrag;
    panelState.pointMenuOpen = false;

    showUnprocessed();

    releaseImage(&deblurParams.kernel);
    resetImage(&deblurParams.kernel);
    host.view->importedKernel = &deblurParams.importedKernel;
    clearAbortRequest();

    const bool motion = deblurParams.motionMode;
    setWindowTitle(
        interfaceText(motion ? StringMotionCorrectionLower : StringOutOfFocusCorrection));
    setAccessibleName(windowTitle());
    motionHint->setVisible(motion);
    for (QWidget* control : std::initializer_list<QWidget*> {detailLabel, detail, detailValue})
        control->setVisible(!motion);
    host.view->previewRect = nullptr;
    previewAttached = false;
    preview = PreviewRect();

    method->setCurrentIndex(settings.method != 0 ? 1 : 0);
    power->setCurrentIndex(storedSelection(settings.power, 2));
    noise->setCurrentIndex(storedSelection(settings.noise, 2));
    panelState.methodSelection = NoSelectionSeen;
    panelState.powerSelection = NoSelectionSeen;
    panelState.noiseSelection = NoSelectionSeen;
    setKernelChoice(false);

    detail->setRange(1, 50);
    detail->setPageStep(0);
    detail->setValue(DefaultDetail);
    detailValue->setText(QString::number(DefaultDetail));
    previewBox->setChecked(false);
    abortButton->hide();
    progress->hide();
    memoryWarning->hide();

    command(MethodCombo, InitialSelection);
    applySkin(this);
}

QWidget* DeblurPanel::control(int id) const
{
    switch (id) {
    case OkControl:
        return ok;
    case CancelControl:
        return cancel;
    case DetailTrackbar:
        return detail;
    case DetailValue:
        return detailValue;
    case DetailLabel:
        return detailLabel;
    case ProgressControl:
        return progress;
    case AbortControl:
        return abortButton;
    case NoiseCombo:
        return noise;
    case MotionHint:
        return motionHint;
    case PowerCombo:
        return power;
    case PreviewCheck:
        return previewBox;
    case ImportControl:
        return importButton;
    case DropKernelControl:
        return dropButton;
    case PowerLabel:
        return powerLabel;
    case NoiseLabel:
        return noiseLabel;
    case MethodCombo:
        return method;
    case MemoryWarning:
        return memoryWarning;
    case MethodLabel:
        return methodLabel;
    default:
        return nullptr;
    }
}

QObject* DeblurPanel::progressBar() const
{
    return progress;
}

void DeblurPanel::command(int id, int notification)
{
    switch (id) {
    case OkControl:
    case CancelControl:
        okOrCancel(id == OkControl);
        break;
    case AbortControl:
        requestAbort();
        break;
    case MethodCombo:
    case PowerCombo:
    case NoiseCombo:
        selectionChanged(notification);
        break;
    case PreviewCheck:
        previewToggled();
        break;
    case ImportControl:
        importKernel();
        break;
    case DropKernelControl:
        dropImportedKernel();
        break;
    case DuplicatePointCommand:
    case DeletePointCommand:
        pointMenuCommand(id);
        break;
    default:
        break;
    }
}

bool DeblurPanel::event(QEvent* event)
{
    if (event->type() == WindowMessageEvent::eventType()) {
        handleMessage(static_cast<WindowMessageEvent*>(event));
        return true;
    }
    return QWidget::event(event);
}

void DeblurPanel::handleMessage(WindowMessageEvent* message)
{
    switch (message->number) {
    case PreviewMessage:
        runPreview();
        break;
    case JobFinishedMessage:
        jobFinished();
        break;
    case JobAbortedMessage:
        jobAborted(message->wParam == 1);
        break;
    case SetCursorMessage:
        if (message->wParam == 0)
            mouseOverImage(int(message->lParam >> 16 & 0xFFFF));
        break;
    case CommandMessage:
        command(int(message->wParam & 0xFFFF), int(message->wParam >> 16 & 0xFFFF));
        break;
    default:
        break;
    }
}

void DeblurPanel::selectionChanged(int notification)
{
    const int methodNow = method->currentIndex();
    const int powerNow = power->currentIndex();
    const int noiseNow = noise->currentIndex();
    if (methodNow == panelState.methodSelection && powerNow == panelState.powerSelection
        && noiseNow == panelState.noiseSelection)
        return;
    panelState.methodSelection = methodNow;
    panelState.powerSelection = powerNow;
    panelState.noiseSelection = noiseNow;
    checkMemory();
    enableNoiseChoice(true);
    if (notification != InitialSelection)
        sendWindowMessage(this, PreviewMessage);
}

void DeblurPanel::checkMemory()
{
    const long long need = jobMemoryNeed(*host.inputImage, method->currentIndex());
    if (jobFitsMemory(need, availableMemoryBytes())) {
        memoryWarning->hide();
        ok->setEnabled(!running);
    } else {
        memoryWarning->show();
        ok->setEnabled(false);
    }
}

void DeblurPanel::trackbarScrolled(int code)
{
    int value = detail->sliderPosition();
    if (code == ScrollLineLeft || code == ScrollPageLeft)
        value -= 1;
    else if (code == ScrollLineRight || code == ScrollPageRight)
        value += 1;
    detail->setSliderPosition(value);
    detail->setValue(value);
    detail->repaint();
    const int shown = detailValue->text().toInt();
    value = detail->value();
    detailValue->setText(QString::number(value));
    setFocus();
    if ((value != shown && code != ScrollThumbTrack) || code == ScrollThumbPosition)
        sendWindowMessage(this, PreviewMessage);
}

void DeblurPanel::previewToggled()
{
    if (previewChecked()) {
        // The centre of the view area: halfway to the docker across, halfway down the window.
        const int x = toDevice(host.docker->x()) / 2;
        const int y = toDevice(host.mainWindow->height()) / 2;
        double imageX = 0;
        double imageY = 0;
        windowToImage(transform(), x, y, &imageX, &imageY);
        preview = centredPreviewRect(saturatingTruncate(std::floor(imageX + 0.5)),
            saturatingTruncate(std::floor(imageY + 0.5)), imageSize());
        host.view->previewRect = &preview.rect;
        previewAttached = true;
        sendWindowMessage(this, PreviewMessage);
    } else {
        host.view->previewRect = nullptr;
        previewAttached = false;
        showUnprocessed();
    }
    panelState.previewRectHover = false;
    panelState.panelMouseMode = NoMouseDrag;
}

void DeblurPanel::importKernel()
{
    OwnedImage loaded;
    if (importPsfImage(loaded.get(), this))
        return;
    if (changeImageFormat(loaded.get(), 8, 1)
        || kernelFromImage(&deblurParams.kernel, loaded.get()))
        return; // an all-black picture gives no kernel: nothing changes
    setKernelChoice(true);
    sendWindowMessage(this, PreviewMessage);
}

void DeblurPanel::dropImportedKernel()
{
    setKernelChoice(false);
    sendWindowMessage(this, PreviewMessage);
}

// The kernel comes from a picture, or is built: an imported one takes the level of details and
// the import out of use and offers X instead.
void DeblurPanel::setKernelChoice(bool imported)
{
    deblurParams.importedKernel = imported;
    enableAll({motionHint, detail, detailLabel, detailValue, importButton}, !imported);
    dropButton->setEnabled(imported);
}

// The noise level matters for the Smoothing method only.
void DeblurPanel::enableNoiseChoice(bool enabled)
{
    const bool matters = method->currentIndex() == 1 || method->currentIndex() == 2;
    enableAll({noise, noiseLabel}, enabled && matters);
}

// All the parameters' controls, as a job starts or editing resumes.
void DeblurPanel::setParameterControlsEnabled(bool enabled)
{
    enableAll({previewBox, methodLabel, method, powerLabel, power}, enabled);
    const bool imported = deblurParams.importedKernel;
    enableAll({motionHint, detail, detailLabel, detailValue, importButton}, enabled && !imported);
    dropButton->setEnabled(enabled && imported);
    enableNoiseChoice(enabled);
}

void DeblurPanel::showUnprocessed()
{
    copyImagePixels(host.resultImage, host.inputImage);
    sendToWindow(RenderFreshMessage);
}

void DeblurPanel::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), skinQColor(ButtonFaceSlot));
}

void DeblurPanel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    QMouseEvent passed(event->type(), host.mainWindow->mapFromGlobal(event->globalPosition()),
        event->globalPosition(), event->button(), event->buttons(), event->modifiers());
    QCoreApplication::sendEvent(host.mainWindow, &passed);
}

void DeblurPanel::wheelEvent(QWheelEvent* event)
{
    QWheelEvent passed(host.mainWindow->mapFromGlobal(event->globalPosition()),
        event->globalPosition(), event->pixelDelta(), event->angleDelta(), event->buttons(),
        event->modifiers(), event->phase(), event->inverted());
    QCoreApplication::sendEvent(host.mainWindow, &passed);
}

bool DeblurPanel::previewChecked() const
{
    return previewBox->isChecked();
}

ImageSize DeblurPanel::imageSize() const
{
    return {host.inputImage->width, host.inputImage->height};
}

ViewTransform DeblurPanel::transform() const
{
    return viewTransformFor(*host.viewState);
}

int DeblurPanel::toDevice(int logical) const
{
    return int(std::lround(logical * host.mainWindow->devicePixelRatioF()));
}

void DeblurPanel::sendToWindow(int message)
{
    sendWindowMessage(host.mainWindow, message);
}
