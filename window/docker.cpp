#include "window/docker.h"

#include "skin/skinSlots.h"
#include "skin/skinStyle.h"

#include <QPainter>
#include <algorithm>

Docker::Docker(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("DockerWindow1"));
    setAccessibleName(QStringLiteral("Docker"));
    setFixedWidth(1);
}

void Docker::insertChild(QWidget* child, int position)
{
    child->setParent(this);
    children.insert(std::clamp<qsizetype>(position, 0, children.size()), child);
}

void Docker::removeChild(QWidget* child)
{
    children.removeAll(child);
}

void Docker::layOut()
{
    int y = 0;
    int widest = 0;
    for (QWidget* child : children) {
        child->move(1, y);
        y += child->height();
        widest = std::max(widest, child->width());
    }
    setFixedWidth(widest + 1);
}

void Docker::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QRegion background(rect());
    for (const QWidget* child : children) {
        if (child->isVisible())
            background -= child->geometry();
    }
    painter.setClipRegion(background);
    painter.fillRect(rect(), skinQColor(ButtonFaceSlot));
    painter.setClipping(false);
    painter.fillRect(0, 0, 1, height(), skinQColor(ButtonHighlightSlot));
}
