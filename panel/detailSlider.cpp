#include "panel/detailSlider.h"

#include "panel/panelColors.h"

#include <QPainter>
#include <QStyleOptionSlider>

namespace {

// The part of the channel left of the thumb while the trackbar is enabled.
const QColor FilledChannel(101, 135, 168);
constexpr int ChannelHeight = 4;

int scrollCode(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        return ScrollLineLeft;
    case QAbstractSlider::SliderSingleStepAdd:
        return ScrollLineRight;
    case QAbstractSlider::SliderPageStepSub:
        return ScrollPageLeft;
    case QAbstractSlider::SliderPageStepAdd:
        return ScrollPageRight;
    case QAbstractSlider::SliderMove:
        return ScrollThumbTrack;
    case QAbstractSlider::SliderToMinimum:
        return ScrollTop;
    case QAbstractSlider::SliderToMaximum:
        return ScrollBottom;
    default:
        return -1;
    }
}

// A 3-D edge: `light` along the top and left, `dark` along the bottom and right.
void drawEdge(QPainter& painter, const QRect& rect, const QColor& light, const QColor& dark)
{
    painter.setPen(light);
    painter.drawLine(rect.topLeft(), rect.topRight());
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
    painter.setPen(dark);
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());
}

} // namespace

DetailSlider::DetailSlider(QWidget* parent)
    : QSlider(Qt::Horizontal, parent)
{
    setTickPosition(QSlider::NoTicks);
    connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) {
        const int code = scrollCode(action);
        if (code >= 0 && scrolled)
            scrolled(code);
    });
    connect(this, &QAbstractSlider::sliderReleased, this, [this] {
        if (scrolled)
            scrolled(ScrollThumbPosition);
    });
}

QRect DetailSlider::thumbRect() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
}

QRect DetailSlider::channelRect() const
{
    const QRect thumb = thumbRect();
    const int half = thumb.width() / 2;
    return QRect(
        half, (height() - ChannelHeight) / 2, std::max(0, width() - 2 * half), ChannelHeight);
}

void DetailSlider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), skinQColor(ButtonFaceSlot));
    const QRect channel = channelRect();
    const QRect thumb = thumbRect();

    // The sunken channel, blue (grey when disabled) up to the thumb's middle.
    painter.fillRect(channel, skinQColor(WindowSlot));
    const QRect filled(channel.left(), channel.top(),
        std::max(0, thumb.center().x() - channel.left()), channel.height());
    painter.fillRect(filled, isEnabled() ? FilledChannel : skinQColor(DarkShadowSlot));
    drawEdge(painter, channel.adjusted(-1, -1, 0, 0), skinQColor(ButtonShadowSlot),
        skinQColor(ButtonHighlightSlot));

    // The raised thumb in the button face.
    painter.fillRect(thumb, skinQColor(ButtonFaceSlot));
    drawEdge(painter, thumb.adjusted(0, 0, -1, -1), skinQColor(ButtonHighlightSlot),
        skinQColor(DarkShadowSlot));
    drawEdge(painter, thumb.adjusted(1, 1, -2, -2), skinQColor(ButtonFaceSlot),
        skinQColor(ButtonShadowSlot));
    if (hasFocus()) {
        painter.setPen(QPen(skinQColor(ButtonHighlightSlot), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}
