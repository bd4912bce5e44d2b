#include "panel/detailSlider.h"

#include "skin/skinShapes.h"
#include "skin/skinSlots.h"
#include "skin/skinStyle.h"

#include <QPainter>
#include <QStyleOptionSlider>
#include <algorithm>

namespace {

// The part of the channel left of the thumb while the trackbar is enabled.
const QColor FilledChannel(101, 135, 168);
constexpr int ChannelHeight = 4 + 2 * EdgeWidth; // the edge around a 4-pixel channel

} // namespace

DetailSlider::DetailSlider(QWidget* parent)
    : QSlider(Qt::Horizontal, parent)
{
    setTickPosition(QSlider::NoTicks);
    setFocusPolicy(Qt::StrongFocus); // a click gives it the arrow keys
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
    fillSlot(&painter, rect(), ButtonFaceSlot);
    const QRect thumb = thumbRect();

    // The sunken channel, blue (grey when disabled) up to the thumb's middle.
    const QRect channel = channelRect();
    const QRect inside = channel.adjusted(EdgeWidth, EdgeWidth, -EdgeWidth, -EdgeWidth);
    fillSlot(&painter, inside, WindowSlot);
    const QRect filled(inside.left(), inside.top(),
        std::clamp(thumb.center().x() - inside.left(), 0, inside.width()), inside.height());
    if (isEnabled())
        painter.fillRect(filled, FilledChannel);
    else
        fillSlot(&painter, filled, DarkShadowSlot);
    sunkenEdge(&painter, channel);

    // The raised thumb in the button face.
    fillSlot(&painter, thumb, ButtonFaceSlot);
    raisedEdge(&painter, thumb);
    if (hasFocus()) {
        painter.setPen(QPen(skinQColor(ButtonHighlightSlot), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}
