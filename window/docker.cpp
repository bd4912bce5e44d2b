#include "window/docker.h"

#include "skin/skinColors.h"

#include <QPainter>
#include <algorithm>

namespace {

constexpr int ButtonFace = 15;
constexpr int ButtonHighlight = 20;

QColor colorOf(int index)
{
    const std::uint32_t c = skinColor(index);
    return QColor(int(c & 0xFF), int(c >> 8 & 0xFF), int(c >> 16 & 0xFF));
}

} // namespace

Docker::Docker(QWidget* parent, DockSide side)
    : QWidget(parent)
    , dockSide(side)
{
    setObjectName(QStringLiteral("DockerWindow1"));
    setAccessibleName(QStringLiteral("Docker"));
    setGeometry(0, 0, 300, 1000);
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
    const int x = dockSide == DockSide::Right ? 1 : 0;
    for (QWidget* child : children) {
        child->move(x, y);
        y += child->height();
        widest = std::max(widest, child->width());
    }
    const int width = widest + 1;
    const int parentWidth = parentWidget() ? parentWidget()->width() : width;
    setGeometry(dockSide == DockSide::Right ? parentWidth - width : 0, this->y(), width, height());
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
    painter.fillRect(rect(), colorOf(ButtonFace));
    painter.setClipping(false);
    const int edge = dockSide == DockSide::Right ? 0 : width() - 1;
    painter.fillRect(edge, 0, 1, height(), colorOf(ButtonHighlight));
}
