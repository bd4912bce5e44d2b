#include "panel/panelLayout.h"

#include "panel/deblurPanel.h"
#include "panel/detailSlider.h"
#include "panel/dialogUnits.h"
#include "panel/interfaceText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <algorithm>
#include <map>
#include <vector>

namespace {

constexpr int PanelWidthUnits = 187;
constexpr int PanelHeightUnits = 178;

struct DesignRect {
    int id;
    QRect units;
};

// Where each control goes in English. The combo boxes' rectangles are the closed box; their
// lists drop to their own height.
constexpr DesignRect Design[] = {
    {OkControl, {40, 160, 50, 14}},
    {CancelControl, {92, 160, 50, 14}},
    {MotionHint, {8, 5, 128, 31}},
    {AutoShakeControl, {138, 5, 44, 14}},
    {DetailLabel, {8, 12, 103, 8}},
    {DetailValue, {113, 13, 19, 8}},
    {AutoDetailControl, {138, 8, 44, 12}},
    {DetailTrackbar, {6, 21, 176, 13}},
    {PreviewCheck, {9, 40, 74, 10}},
    {ImportControl, {84, 37, 80, 14}},
    {DropKernelControl, {166, 37, 16, 14}},
    {MethodLabel, {10, 59, 62, 8}},
    {MethodCombo, {84, 57, 98, 12}},
    {PowerLabel, {10, 73, 68, 8}},
    {PowerCombo, {10, 83, 75, 12}},
    {NoiseLabel, {90, 74, 92, 8}},
    {NoiseCombo, {88, 83, 94, 12}},
    {ProgressControl, {10, 104, 125, 14}},
    {AbortControl, {138, 104, 44, 14}},
    {MemoryWarning, {9, 124, 173, 31}},
};

QRect designUnits(int id)
{
    const auto* found = std::find_if(std::begin(Design), std::end(Design),
        [id](const DesignRect& rect) { return rect.id == id; });
    return found == std::end(Design) ? QRect() : found->units;
}

// Controls side by side, left to right; the controls of one column (a label over its combo box)
// move together. `stretch` is the column that takes the room a wider panel gives the row (-1: the
// row is centred in it instead).
struct Row {
    std::vector<std::vector<int>> columns;
    int stretch;
};

const std::vector<Row>& rows()
{
    static const std::vector<Row> table = {
        {{{MotionHint}, {AutoShakeControl}}, 0},
        {{{DetailLabel}, {DetailValue}, {AutoDetailControl}}, 1},
        {{{DetailTrackbar}}, 0},
        {{{PreviewCheck}, {ImportControl}, {DropKernelControl}}, 1},
        {{{MethodLabel}, {MethodCombo}}, 1},
        {{{PowerLabel, PowerCombo}, {NoiseLabel, NoiseCombo}}, 1},
        {{{ProgressControl}, {AbortControl}}, 0},
        {{{MemoryWarning}}, 0},
        {{{OkControl}, {CancelControl}}, -1},
    };
    return table;
}

QString controlName(int id)
{
    return QStringLiteral("control%1").arg(id);
}

void place(QWidget* control, int id)
{
    const QRect units = designUnits(id);
    control->setGeometry(dialogRect(
        dialogBaseUnits(dialogFont()), units.x(), units.y(), units.width(), units.height()));
    control->setObjectName(controlName(id));
}

QLabel* makeLabel(QWidget* parent, int id, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    place(label, id);
    label->setAccessibleName(text);
    return label;
}

QLabel* makeWrappedLabel(QWidget* parent, int id, const QString& text)
{
    QLabel* label = makeLabel(parent, id, text);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QPushButton* makeButton(QWidget* parent, int id, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    place(button, id);
    button->setAccessibleName(text);
    button->setAutoDefault(false);
    return button;
}

void makeCombo(QWidget* parent, int id, std::initializer_list<int> items, QLabel* label)
{
    auto* combo = new QComboBox(parent);
    place(combo, id);
    for (int item : items)
        combo->addItem(interfaceText(item));
    combo->setAccessibleName(label->text());
    label->setBuddy(combo);
}

void makeAutoButton(QWidget* parent, int id, int tip)
{
    QPushButton* button = makeButton(parent, id, interfaceText(StringAuto));
    button->setToolTip(plainToolTip(interfaceText(tip)));
    button->setAccessibleDescription(interfaceText(tip));
}

// The width the control's text needs. A push button's preferred size is at least 80 pixels in
// some styles, wider than the design's buttons, so a button measures its text with the style's
// margins instead.
int textWidth(const QWidget* control)
{
    if (const auto* button = qobject_cast<const QPushButton*>(control)) {
        const QStyle* style = button->style();
        const QString text = QString(button->text()).remove(QLatin1Char('&'));
        return button->fontMetrics().horizontalAdvance(text)
            + style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button)
            + 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
    }
    const auto* label = qobject_cast<const QLabel*>(control);
    if ((label && !label->wordWrap()) || qobject_cast<const QCheckBox*>(control)
        || qobject_cast<const QComboBox*>(control))
        return control->sizeHint().width();
    return 0; // a word-wrapped label takes more lines instead; the others show no text
}

// The height the control's text needs at its width: only labels grow down. The other controls'
// design heights are in units of the font's height, so their single line always fits.
int textHeight(const QWidget* control, int width)
{
    const auto* label = qobject_cast<const QLabel*>(control);
    if (!label)
        return 0;
    return label->wordWrap() ? label->heightForWidth(width) : label->sizeHint().height();
}

// The rectangles of the controls as their texts need them, from the design's. A control moves
// right by the most any control before it on its row grew, and down by the most any control
// wholly above it grew; the panel grows to hold them all.
class Layout {
public:
    explicit Layout(QWidget* panel)
        : base(dialogBaseUnits(panel->font()))
    {
        for (const DesignRect& design : Design) {
            if (QWidget* control = panel->findChild<QWidget*>(controlName(design.id)))
                controls[design.id] = {control, pixels(design.units), pixels(design.units)};
        }
    }

    QSize run()
    {
        QRect designed;
        for (const auto& [id, placed] : controls)
            designed |= placed.design;
        for (const Row& row : rows())
            growRow(row);
        const int wider = std::max(0, extent().right() - designed.right());
        for (const Row& row : rows())
            fillRow(row, wider);
        growDown();
        const int taller = std::max(0, extent().bottom() - designed.bottom());
        for (const auto& [id, placed] : controls)
            placed.control->setGeometry(placed.rect);
        return pixels({0, 0, PanelWidthUnits, PanelHeightUnits}).size() + QSize(wider, taller);
    }

private:
    struct Placed {
        QWidget* control;
        QRect design; // in pixels
        QRect rect;
    };

    QRect pixels(QRect units) const
    {
        return dialogRect(base, units.x(), units.y(), units.width(), units.height());
    }
    // The rectangle that holds every control where it is now.
    QRect extent() const
    {
        QRect all;
        for (const auto& [id, placed] : controls)
            all |= placed.rect;
        return all;
    }

    // How far the row's right edge moved beyond the design's.
    int rowGrowth(const Row& row) const
    {
        int growth = 0;
        for (const std::vector<int>& column : row.columns) {
            for (int id : column) {
                if (const auto found = controls.find(id); found != controls.end())
                    growth = std::max(
                        growth, found->second.rect.right() - found->second.design.right());
            }
        }
        return growth;
    }

    void growRow(const Row& row)
    {
        int shift = 0;
        for (const std::vector<int>& column : row.columns) {
            int next = shift;
            for (int id : column) {
                const auto found = controls.find(id);
                if (found == controls.end())
                    continue;
                Placed& placed = found->second;
                placed.rect.moveLeft(placed.design.left() + shift);
                placed.rect.setWidth(std::max(placed.design.width(), textWidth(placed.control)));
                next = std::max(next, placed.rect.right() - placed.design.right());
            }
            shift = next;
        }
    }

    // The room a wider panel gives the row goes to its stretching column, or centres it.
    void fillRow(const Row& row, int panelGrowth)
    {
        const int extra = panelGrowth - rowGrowth(row);
        if (extra <= 0)
            return;
        for (std::size_t column = 0; column < row.columns.size(); ++column) {
            const int index = int(column);
            for (int id : row.columns[column]) {
                const auto found = controls.find(id);
                if (found == controls.end())
                    continue;
                QRect& rect = found->second.rect;
                if (row.stretch < 0)
                    rect.translate(extra / 2, 0);
                else if (index == row.stretch)
                    rect.setWidth(rect.width() + extra);
                else if (index > row.stretch)
                    rect.translate(extra, 0);
            }
        }
    }

    // Gives each label the height its text needs and moves what lies below down.
    void growDown()
    {
        std::vector<Placed*> byTop;
        for (auto& [id, placed] : controls)
            byTop.push_back(&placed);
        std::stable_sort(byTop.begin(), byTop.end(),
            [](const Placed* a, const Placed* b) { return a->design.top() < b->design.top(); });
        for (std::size_t index = 0; index < byTop.size(); ++index) {
            Placed& placed = *byTop[index];
            int shift = 0;
            for (std::size_t above = 0; above < index; ++above) {
                const Placed& other = *byTop[above];
                if (other.design.bottom() < placed.design.top())
                    shift = std::max(shift, other.rect.bottom() - other.design.bottom());
            }
            const int height
                = std::max(placed.design.height(), textHeight(placed.control, placed.rect.width()));
            placed.rect.moveTop(placed.design.top() + shift);
            placed.rect.setHeight(height);
        }
    }

    DialogBaseUnits base;
    std::map<int, Placed> controls;
};

} // namespace

void createPanelControls(QWidget* panel)
{
    makeButton(panel, OkControl, interfaceText(StringOk));
    makeButton(panel, CancelControl, interfaceText(StringCancel));
    makeWrappedLabel(panel, MotionHint, interfaceText(StringMotionLineHint));
    QLabel* detailLabel = makeLabel(panel, DetailLabel, interfaceText(StringSetDetails));
    auto* detail = new DetailSlider(panel);
    place(detail, DetailTrackbar);
    detail->setAccessibleName(interfaceText(StringSetDetails));
    detailLabel->setBuddy(detail);
    makeLabel(panel, DetailValue, QString::number(DefaultDetail));
    makeAutoButton(panel, AutoDetailControl, StringTipEstimateDetail);
    makeAutoButton(panel, AutoShakeControl, StringTipEstimateShake);
    auto* previewBox = new QCheckBox(interfaceText(StringPreview), panel);
    place(previewBox, PreviewCheck);
    previewBox->setAccessibleName(interfaceText(StringPreview));
    makeButton(panel, ImportControl, interfaceText(StringImportPsf));
    makeButton(panel, DropKernelControl, QStringLiteral("X"));
    makeCombo(panel, MethodCombo, {StringProgressive, StringSmoothing},
        makeLabel(panel, MethodLabel, interfaceText(StringMethodLabel)));
    makeCombo(panel, PowerCombo, {StringLow, StringMedium, StringHigh},
        makeLabel(panel, PowerLabel, interfaceText(StringPowerLabel)));
    makeCombo(panel, NoiseCombo, {StringClear, StringMedium, StringNoisy},
        makeLabel(panel, NoiseLabel, interfaceText(StringNoiseLevel)));
    auto* progress = new QProgressBar(panel);
    progress->setTextVisible(false);
    place(progress, ProgressControl);
    progress->setAccessibleName(QStringLiteral("Progress"));
    makeButton(panel, AbortControl, interfaceText(StringAbort));
    makeWrappedLabel(panel, MemoryWarning, interfaceText(StringTooLargeTry64Bits));
}

QSize layOutPanelControls(QWidget* panel)
{
    return Layout(panel).run();
}
