#include "panel/deblurPanel.h"

#include "engine/pointSpread.h"
#include "image/imageFormat.h"
#include "panel/detailSlider.h"
#include "panel/dialogUnits.h"
#include "panel/estimateWorker.h"
#include "panel/interfaceText.h"
#include "panel/jobWorker.h"
#include "panel/memoryCheck.h"
#include "panel/panelLayout.h"
#include "panel/pointerEdits.h"
#include "panel/previewWorker.h"
#include "panel/psfImport.h"
#include "platform/memoryStatus.h"
#include "skin/applySkin.h"
#include "skin/skinSlots.h"
#include "skin/skinStyle.h"
#include "view/renderView.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>

namespace {

const QColor WarningText(250, 50, 50);

template <class Control> Control* controlOf(const QWidget* panel, int id)
{
    return panel->findChild<Control*>(QStringLiteral("control%1").arg(id));
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

// The panel's controls in a panel of their own, laid out for the current texts: the size of every
// panel opened until the language changes.
QSize DeblurPanel::panelSize()
{
    QWidget scratch;
    scratch.setFont(dialogFont());
    createPanelControls(&scratch);
    applySkin(&scratch);
    return layOutPanelControls(&scratch);
}

DeblurPanel::DeblurPanel(
    const PanelView& view, bool motionMode, const PanelChoices& stored, QWidget* docker)
    : QWidget(docker)
    , host(view)
    , motion(motionMode)
{
    setObjectName(QStringLiteral("deblurPanel"));
    setFont(dialogFont());
    setAttribute(Qt::WA_OpaquePaintEvent);
    previewThread = new PreviewWorker(this);
    connect(previewThread, &PreviewWorker::finished, this, &DeblurPanel::previewFinished);
    estimates = new EstimateWorker(this);
    connect(estimates, &EstimateWorker::finished, this, &DeblurPanel::estimateFinished);
    job = new JobWorker(this);
    connect(job, &JobWorker::finished, this, &DeblurPanel::jobFinished);
    edits = new PointerEdits(this, host.surface);
    createControls();
    initialise(stored);
}

DeblurPanel::~DeblurPanel()
{
    delete edits; // the view stops sending the mouse here first
    edits = nullptr;
    delete previewThread; // aborts and joins
    previewThread = nullptr;
    delete estimates; // aborts and joins
    estimates = nullptr;
    delete job; // aborts and joins
    job = nullptr;
}

void DeblurPanel::createControls()
{
    createPanelControls(this);
    ok = controlOf<QPushButton>(this, OkControl);
    cancel = controlOf<QPushButton>(this, CancelControl);
    motionHint = controlOf<QLabel>(this, MotionHint);
    detailLabel = controlOf<QLabel>(this, DetailLabel);
    detail = controlOf<DetailSlider>(this, DetailTrackbar);
    detailValue = controlOf<QLabel>(this, DetailValue);
    autoDetail = controlOf<QPushButton>(this, AutoDetailControl);
    autoShake = controlOf<QPushButton>(this, AutoShakeControl);
    previewBox = controlOf<QCheckBox>(this, PreviewCheck);
    importButton = controlOf<QPushButton>(this, ImportControl);
    dropButton = controlOf<QPushButton>(this, DropKernelControl);
    methodLabel = controlOf<QLabel>(this, MethodLabel);
    method = controlOf<QComboBox>(this, MethodCombo);
    powerLabel = controlOf<QLabel>(this, PowerLabel);
    power = controlOf<QComboBox>(this, PowerCombo);
    noiseLabel = controlOf<QLabel>(this, NoiseLabel);
    noise = controlOf<QComboBox>(this, NoiseCombo);
    progress = controlOf<QProgressBar>(this, ProgressControl);
    abortButton = controlOf<QPushButton>(this, AbortControl);
    memoryWarning = controlOf<QLabel>(this, MemoryWarning);
    QPalette warning = memoryWarning->palette();
    warning.setColor(QPalette::WindowText, WarningText);
    warning.setColor(QPalette::Window, skinQColor(MenuSlot));
    memoryWarning->setPalette(warning);

    // The order Tab follows: the mode's first control, then top to bottom.
    setTabOrder(autoShake, autoDetail);
    setTabOrder(autoDetail, detail);
    setTabOrder(detail, previewBox);
    setTabOrder(previewBox, importButton);
    setTabOrder(importButton, dropButton);
    setTabOrder(dropButton, method);
    setTabOrder(method, power);
    setTabOrder(power, noise);
    setTabOrder(noise, abortButton);
    setTabOrder(abortButton, ok);
    setTabOrder(ok, cancel);

    connect(ok, &QPushButton::clicked, this, &DeblurPanel::pressOk);
    connect(cancel, &QPushButton::clicked, this, &DeblurPanel::pressCancel);
    connect(abortButton, &QPushButton::clicked, job, &JobWorker::abort);
    connect(importButton, &QPushButton::clicked, this, &DeblurPanel::importKernel);
    connect(dropButton, &QPushButton::clicked, this, &DeblurPanel::dropImportedKernel);
    connect(autoDetail, &QPushButton::clicked, this, &DeblurPanel::requestEstimate);
    connect(autoShake, &QPushButton::clicked, this, &DeblurPanel::requestEstimate);
    connect(previewBox, &QCheckBox::toggled, this, &DeblurPanel::previewToggled);
    for (QComboBox* combo : {method, power, noise})
        connect(combo, &QComboBox::activated, this, &DeblurPanel::choicesChanged);
    connect(detail, &QAbstractSlider::actionTriggered, this, &DeblurPanel::detailAction);
    connect(detail, &QAbstractSlider::sliderReleased, this, &DeblurPanel::detailReleased);
    connect(job, &JobWorker::progressRange, progress, &QProgressBar::setRange);
    connect(job, &JobWorker::progressChanged, progress, &QProgressBar::setValue);
}

void DeblurPanel::initialise(const PanelChoices& stored)
{
    setWindowTitle(
        interfaceText(motion ? StringMotionCorrectionLower : StringOutOfFocusCorrection));
    setAccessibleName(windowTitle());
    motionHint->setVisible(motion);
    autoShake->setVisible(motion);
    for (QWidget* control :
        std::initializer_list<QWidget*> {detailLabel, detail, detailValue, autoDetail})
        control->setVisible(!motion);

    method->setCurrentIndex(stored.method != 0 ? 1 : 0);
    power->setCurrentIndex(storedSelection(stored.power, 2));
    noise->setCurrentIndex(storedSelection(stored.noise, 2));
    setKernelChoice(false);

    detail->setRange(1, 50);
    detail->setPageStep(0);
    detail->setValue(DefaultDetail);
    abortButton->hide();
    progress->hide();
    memoryWarning->hide();

    seenChoices = choices();
    checkMemory();
    enableNoiseChoice(true);
    applySkin(this);
    // The controls measure their texts in the skin's style.
    setFixedSize(layOutPanelControls(this));
    showUnprocessed();
}

QWidget* DeblurPanel::control(int id) const
{
    if (id == MethodLabel)
        return methodLabel;
    return findChild<QWidget*>(QStringLiteral("control%1").arg(id));
}

PanelChoices DeblurPanel::choices() const
{
    return {method->currentIndex(), power->currentIndex(), noise->currentIndex()};
}

DeblurChoices DeblurPanel::currentChoices() const
{
    DeblurChoices current;
    current.method = method->currentIndex();
    current.power = power->currentIndex();
    current.noise = noise->currentIndex();
    current.detail = detail->value();
    current.motionMode = motion;
    if (importedKernel) {
        current.kernelSource = KernelSource::Picture;
        current.psf = importedKernel;
    } else if (motion) {
        current.points = points;
    }
    return current;
}

std::optional<ImageRect> DeblurPanel::shownPreviewRect() const
{
    if (!previewAttached)
        return std::nullopt;
    return preview.rect;
}

bool DeblurPanel::editable() const
{
    return !closing && !running && !resultReady && !hostClosing;
}

void DeblurPanel::choicesChanged()
{
    const PanelChoices now = choices();
    if (now.method == seenChoices.method && now.power == seenChoices.power
        && now.noise == seenChoices.noise)
        return;
    seenChoices = now;
    checkMemory();
    enableNoiseChoice(true);
    requestPreview();
}

void DeblurPanel::checkMemory()
{
    const long long need = jobMemoryNeed(*host.input, method->currentIndex(), motion);
    if (jobFitsMemory(need, availableMemoryBytes())) {
        memoryWarning->hide();
        ok->setEnabled(!running);
    } else {
        memoryWarning->show();
        ok->setEnabled(false);
    }
}

// The trackbar has moved by its own step (actionTriggered comes before the move takes effect,
// so the new position is sliderPosition()); a line or page step moves it by one more in the same
// direction, so the arrows move it by 2 and a page by 1. Every change previews, except the thumb's
// drag, which previews when it is let go.
void DeblurPanel::detailAction(int action)
{
    int value = detail->sliderPosition();
    if (action == QAbstractSlider::SliderSingleStepSub
        || action == QAbstractSlider::SliderPageStepSub)
        value -= 1;
    else if (action == QAbstractSlider::SliderSingleStepAdd
        || action == QAbstractSlider::SliderPageStepAdd)
        value += 1;
    detail->setSliderPosition(value);
    detail->setValue(value);
    value = detail->value();
    const bool changed = value != detailShown;
    detailShown = value;
    detailValue->setText(QString::number(value));
    if (changed && action != QAbstractSlider::SliderMove)
        requestPreview();
}

void DeblurPanel::detailReleased()
{
    detailShown = detail->value();
    detailValue->setText(QString::number(detailShown));
    requestPreview();
}

void DeblurPanel::importKernel()
{
    OwnedImage loaded;
    if (importPsfImage(loaded.get(), this))
        return;
    auto kernel = std::make_shared<OwnedImage>();
    if (changeImageFormat(loaded.get(), loaded->bitsPerChannel > 8 ? 16 : 8, 1)
        || kernelFromImage(kernel->get(), loaded.get()))
        return; // an all-black picture gives no kernel: nothing changes
    importedKernel = std::move(kernel);
    setKernelChoice(true);
    emit overlayChanged();
    requestPreview();
}

void DeblurPanel::dropImportedKernel()
{
    importedKernel.reset();
    setKernelChoice(false);
    emit overlayChanged();
    requestPreview();
}

// The kernel comes from a picture, or is built: an imported one takes the level of details and
// the import out of use and offers X instead.
void DeblurPanel::setKernelChoice(bool imported)
{
    enableAll({motionHint, detail, detailLabel, detailValue, importButton, autoDetail, autoShake},
        !imported);
    dropButton->setEnabled(imported);
}

// The noise level matters for the Smoothing method only.
void DeblurPanel::enableNoiseChoice(bool enabled)
{
    const bool matters = method->currentIndex() == SmoothingMethod;
    enableAll({noise, noiseLabel}, enabled && matters);
}

// All the parameters' controls, as a job starts or editing resumes.
void DeblurPanel::setParameterControlsEnabled(bool enabled)
{
    enableAll({previewBox, methodLabel, method, powerLabel, power}, enabled);
    const bool imported = importedKernel != nullptr;
    enableAll({motionHint, detail, detailLabel, detailValue, importButton, autoDetail, autoShake},
        enabled && !imported);
    dropButton->setEnabled(enabled && imported);
    enableNoiseChoice(enabled);
}

void DeblurPanel::showUnprocessed()
{
    if (const std::optional<ImageRect> area = dropPreviewPixels()) {
        emit resultAreaChanged(*area);
        return;
    }
    if (resultHoldsInput)
        return; // nothing to change, nothing to redraw
    copyImagePixels(host.result, host.input);
    resultHoldsInput = true;
    emit resultChanged();
}

std::optional<ImageRect> DeblurPanel::dropPreviewPixels()
{
    const std::optional<ImageRect> area = previewShownAt;
    previewShownAt.reset();
    if (area)
        copyImageRect(host.result, host.input, {area->left, area->top}, {area->left, area->top},
            {area->right - area->left, area->bottom - area->top});
    return area;
}

void DeblurPanel::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), skinQColor(ButtonFaceSlot));
}

bool DeblurPanel::previewShown() const
{
    return previewBox->isChecked() && previewAttached;
}

ImageSize DeblurPanel::imageSize() const
{
    return {host.input->width, host.input->height};
}

ViewTransform DeblurPanel::transform() const
{
    return viewTransformFor(*host.state);
}

std::span<const ScreenPoint> DeblurPanel::screenPoints()
{
    host.view->points = points;
    updateScreenPoints(host.view, *host.state);
    return host.view->screenPoints;
}
