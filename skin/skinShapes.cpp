#include "skin/skinShapes.h"

#include "skin/skinSlots.h"
#include "skin/skinStyle.h"

#include <QPainter>
#include <QStyleOption>
#include <algorithm>

void fillSlot(QPainter* painter, const QRect& rect, int slot)
{
    painter->fillRect(rect, skinQColor(slot));
}

// A one-pixel frame: the top and left lines in one slot, the bottom and right in another.
void frameLines(QPainter* painter, const QRect& rect, int topLeft, int bottomRight)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    const QColor first = skinQColor(topLeft);
    const QColor second = skinQColor(bottomRight);
    painter->fillRect(rect.left(), rect.top(), rect.width(), 1, first);
    painter->fillRect(rect.left(), rect.top(), 1, rect.height(), first);
    painter->fillRect(rect.left(), rect.bottom(), rect.width(), 1, second);
    painter->fillRect(rect.right(), rect.top(), 1, rect.height(), second);
}

void raisedEdge(QPainter* painter, const QRect& rect)
{
    frameLines(painter, rect, LightEdgeSlot, DarkShadowSlot);
    frameLines(painter, rect.adjusted(1, 1, -1, -1), ButtonHighlightSlot, ButtonShadowSlot);
}

void sunkenEdge(QPainter* painter, const QRect& rect)
{
    frameLines(painter, rect, ButtonShadowSlot, ButtonHighlightSlot);
    frameLines(painter, rect.adjusted(1, 1, -1, -1), DarkShadowSlot, LightEdgeSlot);
}

// A dotted rectangle, shown only after the keyboard moved the focus.
void focusFrame(QPainter* painter, const QStyleOption* option, const QRect& rect)
{
    if (!(option->state & QStyle::State_KeyboardFocusChange) || rect.isEmpty())
        return;
    painter->save();
    QPen pen(skinQColor(ButtonTextSlot), 0, Qt::DotLine);
    pen.setCosmetic(true);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect.adjusted(0, 0, -1, -1));
    painter->restore();
}

// A solid triangle pointing `direction`, drawn as stacked lines centred in `rect`.
void stackedArrow(QPainter* painter, const QRect& rect, Qt::ArrowType direction, int slot)
{
    const int rows = std::clamp((std::min(rect.width(), rect.height()) - 4) / 3, 2, 6);
    const QColor colour = skinQColor(slot);
    const int cx = rect.left() + rect.width() / 2;
    const int cy = rect.top() + rect.height() / 2;
    for (int i = 0; i < rows; ++i) {
        const int half
            = direction == Qt::DownArrow || direction == Qt::RightArrow ? rows - 1 - i : i;
        const int line = cy - rows / 2 + i;
        const int column = cx - rows / 2 + i;
        if (direction == Qt::UpArrow || direction == Qt::DownArrow)
            painter->fillRect(cx - half, line, 2 * half + 1, 1, colour);
        else
            painter->fillRect(column, cy - half, 1, 2 * half + 1, colour);
    }
}

// The information sign of message boxes: a disc in the highlight colour with a letter "i" in
// the button-text colour, built from rectangles so that it stays crisp at every size.
QPixmap informationSign(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(skinQColor(HighlightSlot));
    painter.drawEllipse(QRectF(0.5, 0.5, size - 1.0, size - 1.0));
    painter.setRenderHint(QPainter::Antialiasing, false);
    const int stem = std::max(2, size / 8);
    const int left = (size - stem) / 2;
    painter.fillRect(left, size / 5, stem, stem, skinQColor(ButtonTextSlot));
    painter.fillRect(left, size / 5 + 2 * stem, stem, size - size / 5 * 2 - 2 * stem,
        skinQColor(ButtonTextSlot));
    return pixmap;
}
