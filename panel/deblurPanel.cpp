#include "panel/deblurPanel.h"

#include "engine/pointSpread.h"
#include "image/imageFormat.h"
#include "panel/detailSlider.h"
#include "panel/dialogUnits.h"
#include "panel/interfaceText.h"
#include "panel/jobWorker.h"
#include "panel/memoryCheck.h"
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
    label->setTextFormat(Qt::PlainText);
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

DeblurPanel::DeblurPanel(
    const PanelView& view, bool motionMode, const PanelChoices& stored, QWidget* docker)
    : QWidget(docker)
    , host(view)
    , motion(motionMode)
{
    setObjectName(QStringLiteral("deblurPanel"));
    setFont(dialogFont());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(panelSize());
    previewThread = new PreviewWorker(this);
    connect(previewThread, &PreviewWorker::finished, this, &DeblurPanel::previewFinished);
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
    delete job; // aborts and joins
    job = nullptr;
}

void DeblurPanel::createControls()
{
    ok = makeButton(this, OkControl, {40, 160, 50, 14}, interfaceText(StringOk));
    cancel = makeButton(this, CancelControl, {92, 160, 50, 14}, interfaceText(StringCancel));
    motionHint = makeLabel(this, MotionHint, {8, 5, 128, 31}, interfaceText(StringMotionLineHint));
    motionHint->setWordWrap(true);
    motionHint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    detailLabel = makeLabel(this, DetailLabel, {8, 12, 103, 8}, interfaceText(StringSetDetails));
    detail = new DetailSlider(this);
    place(detail, DetailTrackbar, 6, 21, 176, 13);
    detail->setAccessibleName(interfaceText(StringSetDetails));
    detailLabel->setBuddy(detail);
    detailValue = makeLabel(this, DetailValue, {113, 13, 19, 8}, QString::number(DefaultDetail));
    autoDetail = makeButton(this, AutoDetailControl, {138, 8, 44, 12}, interfaceText(StringAuto));
    autoDetail->setToolTip(plainToolTip(interfaceText(StringTipEstimateDetail)));
    autoDetail->setAccessibleDescription(interfaceText(StringTipEstimateDetail));
    autoShake = makeButton(this, AutoShakeControl, {138, 5, 44, 14}, interfaceText(StringAuto));
    autoShake->setToolTip(plainToolTip(interfaceText(StringTipEstimateShake)));
    autoShake->setAccessibleDescription(interfaceText(StringTipEstimateShake));
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
    progress = new QProgressBar(this);
    progress->setTextVisible(false);
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
    connect(autoDetail, &QPushButton::clicked, this, &DeblurPanel::estimateDetail);
    connect(autoShake, &QPushButton::clicked, this, &DeblurPanel::estimateShakeLine);
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

DeblurParams DeblurPanel::currentParams() const
{
    DeblurParams current;
    current.method = method->currentIndex();
    current.power = power->currentIndex();
    current.noise = noise->currentIndex();
    current.detail = detail->value();
    current.motionMode = motion;
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
    copyImagePixels(host.result, host.input);
    emit resultChanged();
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
