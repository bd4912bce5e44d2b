#include "skin/skinStyle.h"

#include "skin/skinColors.h"
#include "skin/skinShapes.h"
#include "skin/skinSlots.h"

#include <QPainter>
#include <QSlider>
#include <QStyleFactory>
#include <QStyleOption>
#include <algorithm>

namespace {

// Slider geometry, as the classic trackbar has it.
constexpr int ThumbLength = 11; // along the slider
constexpr int ThumbThickness = 21; // across it, a pointed end included
constexpr int PointDepth = ThumbLength / 2; // a pointed end, drawn at 45 degrees
constexpr int TickSpace = 5; // per side with tick marks (QSlider adds as much to its size)
constexpr int ChannelThickness = 4;

constexpr int CheckPictureSize = 13;
constexpr int ArrowButtonWidth = 17; // combo-box arrows and scroll-bar extent

bool pressed(const QStyleOption* option)
{
    return option->state & QStyle::State_Sunken;
}

bool pressedOrChecked(const QStyleOption* option)
{
    return option->state & (QStyle::State_Sunken | QStyle::State_On);
}

// The slider's pieces: the thumb (with the side its pointed end faces, if any) and the channel.
struct SliderParts {
    QRect thumb;
    QRect channel; // full travel along the slider, ChannelThickness across
    int point; // -1 pointing up, 1 pointing down, 0 plain
};

SliderParts sliderParts(const QStyleOptionSlider* slider)
{
    const QRect r = slider->rect;
    const bool horizontal = slider->orientation == Qt::Horizontal;
    const int before = slider->tickPosition & QSlider::TicksAbove ? TickSpace : 0;
    const int after = slider->tickPosition & QSlider::TicksBelow ? TickSpace : 0;
    const int across = (horizontal ? r.height() : r.width()) - before - after;
    const int thickness = std::clamp(across, 0, ThumbThickness);
    const int start = (horizontal ? r.top() : r.left()) + before + (across - thickness) / 2;
    const int length = std::min(ThumbLength, horizontal ? r.width() : r.height());
    const int span = (horizontal ? r.width() : r.height()) - length;
    const int position = QStyle::sliderPositionFromValue(
        slider->minimum, slider->maximum, slider->sliderPosition, span, slider->upsideDown);

    SliderParts parts;
    parts.point = 0;
    if (horizontal && thickness > PointDepth + 4) {
        if (slider->tickPosition == QSlider::TicksAbove)
            parts.point = -1;
        else if (slider->tickPosition == QSlider::TicksBelow)
            parts.point = 1;
    }
    // The channel runs through the middle of the thumb's body.
    const int body = thickness - (parts.point ? PointDepth : 0);
    const int bodyStart = start + (parts.point < 0 ? PointDepth : 0);
    const int middle = bodyStart + (body - ChannelThickness) / 2;
    if (horizontal) {
        parts.thumb = QRect(r.left() + position, start, length, thickness);
        parts.channel = QRect(r.left(), middle, r.width(), ChannelThickness);
    } else {
        parts.thumb = QRect(start, r.top() + position, thickness, length);
        parts.channel = QRect(middle, r.top(), ChannelThickness, r.height());
    }
    return parts;
}

// A thumb with a pointed end: the body's edges on three sides, then the two 45-degree sides of
// the point with lines in the light, highlight, shadow and dark-shadow slots.
void pointedThumb(QPainter* painter, const QRect& thumb, int point)
{
    const int depth = PointDepth;
    const QRect body = point > 0 ? thumb.adjusted(0, 0, 0, -depth) : thumb.adjusted(0, depth, 0, 0);
    fillSlot(painter, body, ButtonFaceSlot);
    for (int k = 1; k < depth; ++k) {
        const int y = point > 0 ? body.bottom() + k : body.top() - k;
        painter->fillRect(
            thumb.left() + k, y, thumb.width() - 2 * k, 1, skinQColor(ButtonFaceSlot));
    }
    // The body's three straight sides.
    const int top = body.top();
    const int height = body.height();
    painter->fillRect(thumb.left(), top, 1, height, skinQColor(LightEdgeSlot));
    painter->fillRect(thumb.left() + 1, top + (point < 0 ? 0 : 1), 1, height - 1,
        skinQColor(ButtonHighlightSlot));
    painter->fillRect(thumb.right(), top, 1, height, skinQColor(DarkShadowSlot));
    painter->fillRect(
        thumb.right() - 1, top + (point < 0 ? 0 : 1), 1, height - 1, skinQColor(ButtonShadowSlot));
    if (point > 0) {
        painter->fillRect(thumb.left(), top, thumb.width(), 1, skinQColor(LightEdgeSlot));
        painter->fillRect(
            thumb.left() + 1, top + 1, thumb.width() - 2, 1, skinQColor(ButtonHighlightSlot));
    } else {
        painter->fillRect(
            thumb.left(), body.bottom(), thumb.width(), 1, skinQColor(DarkShadowSlot));
        painter->fillRect(thumb.left() + 1, body.bottom() - 1, thumb.width() - 2, 1,
            skinQColor(ButtonShadowSlot));
    }
    // The point: light on the left side, shadow on the right, meeting at the tip.
    const int edge = point > 0 ? body.bottom() : body.top();
    for (int k = 0; k <= depth; ++k) {
        const int y = edge + point * k;
        painter->fillRect(thumb.left() + k, y, 1, 1, skinQColor(LightEdgeSlot));
        if (k < depth)
            painter->fillRect(thumb.left() + k + 1, y, 1, 1, skinQColor(ButtonHighlightSlot));
    }
    for (int k = 0; k <= depth; ++k) {
        const int y = edge + point * k;
        painter->fillRect(thumb.right() - k, y, 1, 1, skinQColor(DarkShadowSlot));
        if (k < depth)
            painter->fillRect(thumb.right() - k - 1, y, 1, 1, skinQColor(ButtonShadowSlot));
    }
}

// The caption's strip of a group box: from x = 5, as wide as the caption (and its check box)
// plus 9 pixels, at most to the box's right edge.
QRect groupBoxStrip(const QStyleOptionGroupBox* box)
{
    const QRect r = box->rect;
    const bool checkable = box->subControls & QStyle::SC_GroupBoxCheckBox;
    const int text = box->text.isEmpty()
        ? 0
        : box->fontMetrics.size(Qt::TextShowMnemonic | Qt::TextSingleLine, box->text).width();
    const int check = checkable ? CheckPictureSize + 4 : 0;
    const int height = std::max(box->fontMetrics.height(), checkable ? CheckPictureSize : 0);
    return QRect(r.left() + 5, r.top(), std::min(text + check + 9, r.width() - 5), height);
}

} // namespace

QColor skinQColor(int index)
{
    const std::uint32_t c = skinColor(index); // 0x00BBGGRR
    return QColor(int(c & 0xFF), int(c >> 8 & 0xFF), int(c >> 16 & 0xFF));
}

QString checkBoxPictureName(bool darkScheme, Qt::CheckState state, bool enabled)
{
    QString name = darkScheme ? QStringLiteral("CHECKD_") : QStringLiteral("CHECK_");
    name += state == Qt::Checked ? QStringLiteral("SEL")
        : state == Qt::Unchecked ? QStringLiteral("DES")
                                 : QStringLiteral("SEMI");
    name += enabled ? QStringLiteral("ON") : QStringLiteral("OFF");
    return name;
}

SkinStyle::SkinStyle()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
{
}

const QPixmap& SkinStyle::checkBoxPicture(Qt::CheckState state, bool enabled) const
{
    const QString name = checkBoxPictureName(isDarkScheme(skinSchemeMode()), state, enabled);
    auto found = pictures.find(name);
    if (found == pictures.end())
        found = pictures.insert(name, QPixmap(QStringLiteral(":/pictures/") + name + ".png"));
    return found.value();
}

void SkinStyle::drawPushButtonPanel(const QStyleOption* option, QPainter* painter, bool flat) const
{
    const QRect r = option->rect;
    fillSlot(painter, r, ButtonFaceSlot);
    if (flat) {
        if (pressedOrChecked(option))
            frameLines(painter, r, ButtonShadowSlot, ButtonHighlightSlot);
        else if (option->state & State_MouseOver)
            frameLines(painter, r, ButtonHighlightSlot, ButtonShadowSlot);
        else
            frameLines(painter, r, ButtonShadowSlot, ButtonShadowSlot);
    } else if (pressed(option)) {
        sunkenEdge(painter, r);
    } else if (option->state & State_On) {
        frameLines(painter, r, DarkShadowSlot, LightEdgeSlot);
    } else {
        raisedEdge(painter, r);
    }
}

void SkinStyle::drawToolButtonPanel(const QStyleOption* option, QPainter* painter) const
{
    if (!(option->state & State_AutoRaise)) {
        drawPushButtonPanel(option, painter, false);
        return;
    }
    // Tool-bar buttons stay flat until the pointer is over them.
    fillSlot(painter, option->rect, ButtonFaceSlot);
    if (pressedOrChecked(option))
        frameLines(painter, option->rect, ButtonShadowSlot, ButtonHighlightSlot);
    else if (option->state & (State_MouseOver | State_Raised))
        frameLines(painter, option->rect, ButtonHighlightSlot, ButtonShadowSlot);
}

void SkinStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
    QPainter* painter, const QWidget* widget) const
{
    switch (element) {
    case PE_PanelButtonCommand:
    case PE_PanelButtonBevel: {
        const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
        drawPushButtonPanel(option, painter, button && button->features & QStyleOptionButton::Flat);
        return;
    }
    case PE_PanelButtonTool:
        drawToolButtonPanel(option, painter);
        return;
    case PE_FrameDefaultButton:
        return; // part of the bevel
    case PE_IndicatorCheckBox:
    case PE_IndicatorItemViewItemCheck: {
        const Qt::CheckState state = option->state & State_NoChange ? Qt::PartiallyChecked
            : option->state & State_On                              ? Qt::Checked
                                                                    : Qt::Unchecked;
        const QPixmap& picture = checkBoxPicture(state, option->state & State_Enabled);
        const QRect r = option->rect;
        painter->drawPixmap(r.left() + (r.width() - CheckPictureSize) / 2,
            r.top() + (r.height() - CheckPictureSize) / 2, picture);
        return;
    }
    case PE_IndicatorRadioButton: {
        const bool enabled = option->state & State_Enabled;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        const QRectF r = QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5);
        painter->setPen(skinQColor(enabled ? GreyTextSlot : ButtonHighlightSlot));
        painter->setBrush(skinQColor(enabled ? DarkShadowSlot : ButtonFaceSlot));
        painter->drawEllipse(r);
        if (option->state & State_On) {
            painter->setPen(Qt::NoPen);
            painter->setBrush(skinQColor(enabled ? ButtonTextSlot : GreyTextSlot));
            painter->drawEllipse(r.center(), r.width() / 4.5, r.height() / 4.5);
        }
        painter->restore();
        return;
    }
    case PE_FrameFocusRect:
        focusFrame(painter, option, option->rect);
        return;
    case PE_PanelLineEdit: {
        const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
        if (frame && frame->lineWidth > 0) {
            painter->fillRect(option->rect, option->palette.brush(QPalette::Base));
            sunkenEdge(painter, option->rect);
        }
        return;
    }
    case PE_FrameLineEdit:
        sunkenEdge(painter, option->rect);
        return;
    case PE_Frame:
    case PE_FrameWindow:
        if (option->state & State_Raised)
            raisedEdge(painter, option->rect);
        else if (option->state & State_Sunken)
            sunkenEdge(painter, option->rect);
        else
            frameLines(painter, option->rect, ButtonShadowSlot, ButtonShadowSlot);
        return;
    case PE_PanelMenu:
        fillSlot(painter, option->rect, MenuSlot);
        return;
    case PE_FrameMenu:
        frameLines(painter, option->rect, ButtonHighlightSlot, ButtonHighlightSlot);
        return;
    case PE_PanelStatusBar:
        fillSlot(painter, option->rect, ButtonFaceSlot);
        painter->fillRect(option->rect.left(), option->rect.top(), option->rect.width(), 1,
            skinQColor(ButtonShadowSlot));
        return;
    case PE_FrameStatusBarItem:
        return;
    case PE_PanelToolBar:
        fillSlot(painter, option->rect, ButtonFaceSlot);
        return;
    default:
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

void SkinStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
    const QWidget* widget) const
{
    switch (element) {
    case CE_PushButton: {
        const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
        if (!button)
            break;
        proxy()->drawControl(CE_PushButtonBevel, option, painter, widget);
        QStyleOptionButton contents(*button);
        contents.rect = proxy()->subElementRect(SE_PushButtonContents, button, widget);
        proxy()->drawControl(CE_PushButtonLabel, &contents, painter, widget);
        if (option->state & State_HasFocus)
            focusFrame(painter, option, option->rect.adjusted(4, 4, -4, -4));
        return;
    }
    case CE_PushButtonBevel: {
        const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
        if (!button)
            break;
        const bool flat = button->features & QStyleOptionButton::Flat;
        QStyleOptionButton panel(*button);
        if (!flat && button->features & QStyleOptionButton::DefaultButton) {
            // The default button wears one more frame around its edge.
            frameLines(painter, panel.rect, LightEdgeSlot, LightEdgeSlot);
            panel.rect.adjust(1, 1, -1, -1);
        }
        drawPushButtonPanel(&panel, painter, flat);
        if (button->features & QStyleOptionButton::HasMenu) {
            const int size = proxy()->pixelMetric(PM_MenuButtonIndicator, button, widget);
            const QRect arrow(
                panel.rect.right() - size - 2, panel.rect.top(), size, panel.rect.height());
            stackedArrow(painter,
                arrow.translated(pressedOrChecked(option) ? QPoint(1, 1) : QPoint()), Qt::DownArrow,
                option->state & State_Enabled ? ButtonTextSlot : GreyTextSlot);
        }
        return;
    }
    case CE_PushButtonLabel: {
        const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
        if (!button)
            break;
        // The picture and text move one pixel right and down while the button is in.
        QStyleOptionButton label(*button);
        if (pressedOrChecked(option))
            label.rect.translate(1, 1);
        label.state &= ~(State_Sunken | State_On);
        QProxyStyle::drawControl(element, &label, painter, widget);
        return;
    }
    case CE_ProgressBarGroove:
        if (isDarkScheme(skinSchemeMode())) {
            fillSlot(painter, option->rect, WindowSlot);
            frameLines(painter, option->rect, ButtonShadowSlot, ButtonHighlightSlot);
            return;
        }
        break;
    case CE_ProgressBarContents: {
        const auto* bar = qstyleoption_cast<const QStyleOptionProgressBar*>(option);
        if (!bar || bar->minimum >= bar->maximum)
            break; // busy: the base style's animation
        const QRect inner = option->rect.adjusted(1, 1, -1, -1);
        const bool vertical = !(option->state & State_Horizontal);
        const qint64 total = qint64(bar->maximum) - bar->minimum;
        const qint64 done = std::clamp(qint64(bar->progress) - bar->minimum, qint64(0), total);
        const int extent = vertical ? inner.height() : inner.width();
        const int length = int(extent * done / total);
        bool fromEnd = bar->invertedAppearance;
        if (!vertical && option->direction == Qt::RightToLeft)
            fromEnd = !fromEnd;
        QRect chunk;
        if (vertical)
            chunk = fromEnd
                ? QRect(inner.left(), inner.top(), inner.width(), length)
                : QRect(inner.left(), inner.bottom() - length + 1, inner.width(), length);
        else
            chunk = fromEnd ? QRect(inner.right() - length + 1, inner.top(), length, inner.height())
                            : QRect(inner.left(), inner.top(), length, inner.height());
        fillSlot(painter, chunk, HighlightSlot);
        return;
    }
    case CE_ComboBoxLabel: {
        // The current item is text on the field's window colour, not on a button.
        const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
        if (!combo)
            break;
        QStyleOptionComboBox label(*combo);
        for (const QPalette::ColorGroup group :
            {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            label.palette.setColor(
                group, QPalette::ButtonText, combo->palette.color(group, QPalette::Text));
        QProxyStyle::drawControl(element, &label, painter, widget);
        return;
    }
    case CE_ToolBar:
    case CE_MenuBarEmptyArea:
        fillSlot(painter, option->rect, ButtonFaceSlot);
        return;
    case CE_MenuEmptyArea:
        fillSlot(painter, option->rect, MenuSlot);
        return;
    default:
        break;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void SkinStyle::drawGroupBox(const QStyleOptionComplex* option, QPainter* painter) const
{
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (box->subControls & SC_GroupBoxFrame) {
        // Etched: a highlight rectangle one pixel right and down, a shadow rectangle over it.
        const QRect frame = subControlRect(CC_GroupBox, option, SC_GroupBoxFrame, nullptr);
        if (box->features & QStyleOptionFrame::Flat) {
            painter->fillRect(
                frame.left(), frame.top(), frame.width(), 1, skinQColor(ButtonShadowSlot));
            painter->fillRect(
                frame.left(), frame.top() + 1, frame.width(), 1, skinQColor(ButtonHighlightSlot));
        } else {
            const QRect inset = frame.adjusted(0, 0, -1, -1);
            frameLines(painter, inset.translated(1, 1), ButtonHighlightSlot, ButtonHighlightSlot);
            frameLines(painter, inset, ButtonShadowSlot, ButtonShadowSlot);
        }
    }
    const bool hasText = (box->subControls & SC_GroupBoxLabel) && !box->text.isEmpty();
    const bool checkable = box->subControls & SC_GroupBoxCheckBox;
    if (!hasText && !checkable)
        return;
    // The caption's strip interrupts the frame's top line.
    const QRect strip = groupBoxStrip(box);
    fillSlot(painter, strip, ButtonFaceSlot);
    if (checkable) {
        QStyleOption check(*box);
        check.rect = subControlRect(CC_GroupBox, option, SC_GroupBoxCheckBox, nullptr);
        check.state &= ~(State_On | State_Off | State_NoChange);
        check.state |= box->state & State_On ? State_On : State_Off;
        drawPrimitive(PE_IndicatorCheckBox, &check, painter, nullptr);
    }
    if (hasText) {
        painter->save();
        painter->setPen(skinQColor(GreyTextSlot));
        painter->drawText(subControlRect(CC_GroupBox, option, SC_GroupBoxLabel, nullptr),
            Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextSingleLine,
            box->text);
        painter->restore();
    }
}

void SkinStyle::drawSlider(
    const QStyleOptionComplex* option, QPainter* painter, const QWidget* widget) const
{
    const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
    const SliderParts parts = sliderParts(slider);
    const bool horizontal = slider->orientation == Qt::Horizontal;
    fillSlot(painter, option->rect, ButtonFaceSlot);
    if (slider->subControls & SC_SliderTickmarks && slider->tickPosition != QSlider::NoTicks) {
        const int length = horizontal ? parts.thumb.width() : parts.thumb.height();
        const int span = (horizontal ? option->rect.width() : option->rect.height()) - length;
        int interval = slider->tickInterval;
        if (interval <= 0) {
            interval = slider->singleStep;
            if (QStyle::sliderPositionFromValue(
                    slider->minimum, slider->maximum, slider->minimum + interval, span, false)
                < 3)
                interval = slider->pageStep;
        }
        interval = std::max(interval, 1);
        const QColor colour = skinQColor(ButtonTextSlot);
        auto tick = [&](qint64 value) {
            const int at = QStyle::sliderPositionFromValue(slider->minimum, slider->maximum,
                               int(value), span, slider->upsideDown)
                + length / 2;
            const QRect r = option->rect;
            if (horizontal) {
                if (slider->tickPosition & QSlider::TicksAbove)
                    painter->fillRect(r.left() + at, r.top() + 1, 1, TickSpace - 2, colour);
                if (slider->tickPosition & QSlider::TicksBelow)
                    painter->fillRect(
                        r.left() + at, r.bottom() - TickSpace + 2, 1, TickSpace - 2, colour);
            } else {
                if (slider->tickPosition & QSlider::TicksLeft)
                    painter->fillRect(r.left() + 1, r.top() + at, TickSpace - 2, 1, colour);
                if (slider->tickPosition & QSlider::TicksRight)
                    painter->fillRect(
                        r.right() - TickSpace + 2, r.top() + at, TickSpace - 2, 1, colour);
            }
        };
        for (qint64 value = slider->minimum; value < slider->maximum; value += interval)
            tick(value);
        tick(slider->maximum);
    }
    if (slider->subControls & SC_SliderGroove) {
        const int inset = ThumbLength / 2 - 1;
        sunkenEdge(painter,
            horizontal ? parts.channel.adjusted(inset, 0, -inset, 0)
                       : parts.channel.adjusted(0, inset, 0, -inset));
    }
    if (slider->subControls & SC_SliderHandle) {
        if (parts.point) {
            pointedThumb(painter, parts.thumb, parts.point);
        } else {
            fillSlot(painter, parts.thumb, ButtonFaceSlot);
            raisedEdge(painter, parts.thumb);
        }
    }
    if (option->state & State_HasFocus)
        focusFrame(painter, option, option->rect);
    (void)widget;
}

void SkinStyle::drawComboBox(
    const QStyleOptionComplex* option, QPainter* painter, const QWidget* widget) const
{
    const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
    const bool enabled = option->state & State_Enabled;
    if (combo->frame)
        sunkenEdge(painter, option->rect);
    const QRect inner = combo->frame
        ? option->rect.adjusted(EdgeWidth, EdgeWidth, -EdgeWidth, -EdgeWidth)
        : option->rect;
    fillSlot(painter, inner, enabled ? WindowSlot : ButtonFaceSlot);
    if (combo->subControls & SC_ComboBoxArrow) {
        const QRect arrow = subControlRect(CC_ComboBox, option, SC_ComboBoxArrow, widget);
        const bool down = (combo->activeSubControls & SC_ComboBoxArrow) && pressed(option);
        fillSlot(painter, arrow, ButtonFaceSlot);
        if (down)
            frameLines(painter, arrow, ButtonShadowSlot, ButtonShadowSlot);
        else
            raisedEdge(painter, arrow);
        stackedArrow(painter, down ? arrow.translated(1, 1) : arrow, Qt::DownArrow,
            enabled ? ButtonTextSlot : GreyTextSlot);
    }
    if (option->state & State_HasFocus && !combo->editable)
        focusFrame(painter, option,
            subControlRect(CC_ComboBox, option, SC_ComboBoxEditField, widget)
                .adjusted(-1, 0, 1, 0));
}

void SkinStyle::drawScrollBar(
    const QStyleOptionComplex* option, QPainter* painter, const QWidget* widget) const
{
    const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
    const bool horizontal = bar->orientation == Qt::Horizontal;
    const bool enabled = option->state & State_Enabled;
    auto isDown
        = [&](SubControl part) { return (bar->activeSubControls & part) && pressed(option); };
    fillSlot(painter, option->rect, ButtonShadowSlot); // the track
    for (const SubControl page : {SC_ScrollBarSubPage, SC_ScrollBarAddPage}) {
        if (isDown(page))
            fillSlot(
                painter, proxy()->subControlRect(CC_ScrollBar, bar, page, widget), DarkShadowSlot);
    }
    for (const SubControl line : {SC_ScrollBarSubLine, SC_ScrollBarAddLine}) {
        const QRect r = proxy()->subControlRect(CC_ScrollBar, bar, line, widget);
        if (!(bar->subControls & line) || r.isEmpty())
            continue;
        const bool down = isDown(line);
        fillSlot(painter, r, ButtonFaceSlot);
        if (down)
            frameLines(painter, r, ButtonShadowSlot, ButtonShadowSlot);
        else
            raisedEdge(painter, r);
        const bool first = line == SC_ScrollBarSubLine;
        const Qt::ArrowType direction = horizontal
            ? ((first != (option->direction == Qt::RightToLeft)) ? Qt::LeftArrow : Qt::RightArrow)
            : (first ? Qt::UpArrow : Qt::DownArrow);
        stackedArrow(painter, down ? r.translated(1, 1) : r, direction,
            enabled ? ButtonTextSlot : ButtonHighlightSlot);
    }
    if (bar->subControls & SC_ScrollBarSlider && bar->maximum > bar->minimum && enabled) {
        const QRect thumb = proxy()->subControlRect(CC_ScrollBar, bar, SC_ScrollBarSlider, widget);
        fillSlot(painter, thumb, ButtonFaceSlot);
        raisedEdge(painter, thumb);
    }
}

void SkinStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
    QPainter* painter, const QWidget* widget) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    bool drawn = true;
    switch (control) {
    case CC_GroupBox:
        drawGroupBox(option, painter);
        break;
    case CC_Slider:
        drawSlider(option, painter, widget);
        break;
    case CC_ComboBox:
        drawComboBox(option, painter, widget);
        break;
    case CC_ScrollBar:
        drawScrollBar(option, painter, widget);
        break;
    default:
        drawn = false;
    }
    painter->restore();
    if (!drawn)
        QProxyStyle::drawComplexControl(control, option, painter, widget);
}

QRect SkinStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
    SubControl subControl, const QWidget* widget) const
{
    switch (control) {
    case CC_GroupBox: {
        const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
        if (!box)
            break;
        const QRect r = option->rect;
        const QRect strip = groupBoxStrip(box);
        const int check = box->subControls & SC_GroupBoxCheckBox ? CheckPictureSize + 4 : 0;
        switch (subControl) {
        case SC_GroupBoxFrame: {
            const int top = box->fontMetrics.height() / 2;
            return QRect(r.left(), r.top() + top, r.width(), r.height() - top);
        }
        case SC_GroupBoxCheckBox:
            return QRect(strip.left() + 4, strip.top() + (strip.height() - CheckPictureSize) / 2,
                CheckPictureSize, CheckPictureSize);
        case SC_GroupBoxLabel:
            return QRect(
                strip.left() + 4 + check, strip.top(), strip.width() - 9 - check, strip.height());
        default:
            break;
        }
        break;
    }
    case CC_Slider: {
        const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
        if (!slider)
            break;
        const SliderParts parts = sliderParts(slider);
        switch (subControl) {
        case SC_SliderHandle:
            return parts.thumb;
        case SC_SliderGroove:
            return parts.channel;
        case SC_SliderTickmarks:
            return option->rect;
        default:
            break;
        }
        break;
    }
    case CC_ComboBox: {
        const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
        if (!combo)
            break;
        const QRect r = option->rect;
        const int edge = combo->frame ? EdgeWidth : 0;
        const QRect inner = r.adjusted(edge, edge, -edge, -edge);
        const int arrow = std::min(ArrowButtonWidth, inner.width() / 2);
        QRect rect;
        switch (subControl) {
        case SC_ComboBoxFrame:
            return r;
        case SC_ComboBoxArrow:
            rect = QRect(inner.right() - arrow + 1, inner.top(), arrow, inner.height());
            break;
        case SC_ComboBoxEditField:
            rect = QRect(
                inner.left() + 1, inner.top() + 1, inner.width() - arrow - 2, inner.height() - 2);
            break;
        default:
            return QProxyStyle::subControlRect(control, option, subControl, widget);
        }
        return visualRect(option->direction, r, rect);
    }
    default:
        break;
    }
    return QProxyStyle::subControlRect(control, option, subControl, widget);
}

QRect SkinStyle::subElementRect(
    SubElement element, const QStyleOption* option, const QWidget* widget) const
{
    // The whole control answers the mouse, as a check box does on the desktop it was drawn
    // for, not only its box and its text.
    if (element == SE_CheckBoxClickRect || element == SE_RadioButtonClickRect)
        return option->rect;
    return QProxyStyle::subElementRect(element, option, widget);
}

int SkinStyle::pixelMetric(
    PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    switch (metric) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
        return CheckPictureSize;
    case PM_ButtonShiftHorizontal:
    case PM_ButtonShiftVertical:
        return 1;
    case PM_DefaultFrameWidth:
    case PM_ComboBoxFrameWidth:
        return EdgeWidth;
    case PM_ScrollBarExtent:
        return ArrowButtonWidth;
    case PM_SliderLength:
        return ThumbLength;
    case PM_SliderThickness:
    case PM_SliderControlThickness:
        return ThumbThickness;
    case PM_SliderTickmarkOffset:
        return TickSpace;
    case PM_MenuPanelWidth:
        return 1;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

int SkinStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
    QStyleHintReturn* returnData) const
{
    switch (hint) {
    case SH_EtchDisabledText:
    case SH_DitherDisabledText:
        return 0; // disabled text is plainly the grey-text colour
    case SH_GroupBox_TextLabelColor:
        return int(skinQColor(GreyTextSlot).rgb());
    default:
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
}

QIcon SkinStyle::standardIcon(
    StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const
{
    if (icon != SP_MessageBoxInformation)
        return QProxyStyle::standardIcon(icon, option, widget);
    QIcon sign;
    for (const int size : {16, 24, 32, 48, 64})
        sign.addPixmap(informationSign(size));
    return sign;
}
