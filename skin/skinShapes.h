#pragma once

// The scheme's edges and small shapes, in the colour table's colours: what the skin's style and
// the custom drawings of the windows build their controls from.

#include <QPixmap>
#include <QRect>
#include <Qt>

class QPainter;
class QStyleOption;

// Pixels across a raised or sunken edge.
constexpr int EdgeWidth = 2;

void fillSlot(QPainter* painter, const QRect& rect, int slot);

// A one-pixel frame: the top and left lines in one slot, the bottom and right in another.
void frameLines(QPainter* painter, const QRect& rect, int topLeft, int bottomRight);

// Two-pixel three-dimensional edges: light above and left (raised) or below and right (sunken).
void raisedEdge(QPainter* painter, const QRect& rect);
void sunkenEdge(QPainter* painter, const QRect& rect);

// A dotted rectangle, shown only after the keyboard moved the focus.
void focusFrame(QPainter* painter, const QStyleOption* option, const QRect& rect);

// A solid triangle pointing `direction`, drawn as stacked lines centred in `rect`.
void stackedArrow(QPainter* painter, const QRect& rect, Qt::ArrowType direction, int slot);

// The information sign of message boxes, `size` pixels square.
QPixmap informationSign(int size);
