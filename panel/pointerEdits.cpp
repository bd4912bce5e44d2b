#include "panel/pointerEdits.h"

#include "panel/deblurPanel.h"
#include "panel/devicePixels.h"
#include "panel/interfaceText.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QWidget>
#include <chrono>
#include <cmath>

namespace {

// Two insertions closer than this are one click (a double click, or a bounce of the button).
constexpr std::int64_t InsertionInterval = 100;

// Milliseconds on a clock that only goes forward.
std::int64_t milliseconds()
{
    using namespace std::chrono;
    return duration_cast<std::chrono::milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

PointerEdits::PointerEdits(DeblurPanel* panel, QWidget* surface)
    : QObject(panel)
    , panel(panel)
    , surface(surface)
{
    if (surface)
        surface->installEventFilter(this);
}

PointerEdits::~PointerEdits()
{
    if (surface) {
        surface->removeEventFilter(this);
        surface->setCursor(Qt::ArrowCursor);
    }
    delete menu;
}

void PointerEdits::reset()
{
    dragging = NoDrag;
    hot = -1;
    rectHover = false;
    if (menu)
        menu->close();
    setCursor(Qt::ArrowCursor);
}

void PointerEdits::setCursor(Qt::CursorShape shape)
{
    if (surface)
        surface->setCursor(shape);
}

bool PointerEdits::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != surface)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Control && panel->motionMode()
            && panel->editable())
            setCursor(event->type() == QEvent::KeyPress ? Qt::CrossCursor : Qt::ArrowCursor);
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
        return mouse(event->type(), static_cast<QMouseEvent*>(event));
    default:
        return false;
    }
}

// True when the event is the panel's: the view then neither pans nor zooms with it.
bool PointerEdits::mouse(QEvent::Type type, const QMouseEvent* event)
{
    if (!panel->editable() || menu)
        return false;
    const bool press = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
    const bool left = event->button() == Qt::LeftButton;
    // A drag let go anywhere ends: the view holds the mouse from the press to the release.
    if (type == QEvent::MouseButtonRelease && left && dragging != NoDrag)
        return endDrag();
    const ImagePoint cursor = devicePointIn(surface, event->position());
    const bool motion = panel->motionMode();

    bool insertionTooSoon = false;
    if (motion && (event->modifiers() & Qt::ControlModifier)) {
        setCursor(Qt::CrossCursor);
        if (!(press && left)) {
            if (clearPointSelection(&panel->points))
                emit panel->overlayChanged();
            return false;
        }
        if (milliseconds() - lastInsertion > InsertionInterval)
            return insertPoint(cursor);
        insertionTooSoon = true; // handled as a press on the line below
    }

    if (motion && !insertionTooSoon && dragging != DraggingPoint)
        findHotPoint(cursor);

    if (hot >= 0 && hot < int(panel->points.size())) {
        if (press && left) {
            dragging = DraggingPoint;
            return true;
        }
        if (type == QEvent::MouseMove && dragging == DraggingPoint) {
            lastInsertion = milliseconds();
            MotionPoint& point = panel->points[std::size_t(hot)];
            windowToImage(panel->transform(), cursor.x, cursor.y, &point.x, &point.y);
            emit panel->overlayChanged();
            return true;
        }
        if (press && event->button() == Qt::RightButton) {
            openPointMenu(event->globalPosition().toPoint());
            return true;
        }
        return insertionTooSoon;
    }
    return previewRectEdit(type, cursor) || insertionTooSoon;
}

bool PointerEdits::endDrag()
{
    const bool pointDrag = dragging == DraggingPoint;
    dragging = NoDrag;
    rectHover = false;
    if (!pointDrag || panel->points.size() >= 2)
        panel->requestPreview();
    return true;
}

bool PointerEdits::insertPoint(ImagePoint cursor)
{
    lastInsertion = milliseconds();
    double x = 0;
    double y = 0;
    windowToImage(panel->transform(), cursor.x, cursor.y, &x, &y);
    if (appendMotionPoint(&panel->points, x, y))
        return true;
    emit panel->overlayChanged();
    if (panel->points.size() >= 2)
        panel->requestPreview();
    return true;
}

void PointerEdits::findHotPoint(ImagePoint cursor)
{
    hot = ::findHotPoint(panel->screenPoints(), cursor);
    if (hot < 0) {
        if (clearPointSelection(&panel->points))
            emit panel->overlayChanged();
        return;
    }
    setCursor(Qt::PointingHandCursor);
    MotionPoint& point = panel->points[std::size_t(hot)];
    if (!point.selected) {
        clearPointSelection(&panel->points);
        point.selected = 1;
        emit panel->overlayChanged();
    }
}

bool PointerEdits::previewRectEdit(QEvent::Type type, ImagePoint cursor)
{
    const ImageRect& rect = panel->preview.rect;
    const ViewTransform view = panel->transform();
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    imageToWindow(view, rect.left, rect.top, &left, &top);
    imageToWindow(view, rect.right, rect.bottom, &right, &bottom);
    const bool inside
        = cursor.x >= left && cursor.x < right && cursor.y >= top && cursor.y < bottom;
    rectHover = (inside && panel->previewShown()) || dragging == DraggingPreviewRect;
    setCursor(rectHover ? Qt::SizeAllCursor : Qt::ArrowCursor);
    if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) && rectHover) {
        anchor = cursor;
        dragging = DraggingPreviewRect;
        return true;
    }
    if (type == QEvent::MouseMove && dragging == DraggingPreviewRect) {
        const double zoom = panel->host.state->zoom;
        movePreviewRect(&panel->preview, (cursor.x - anchor.x) / zoom, (cursor.y - anchor.y) / zoom,
            panel->imageSize());
        anchor = cursor;
        emit panel->overlayChanged();
        return true;
    }
    return false;
}

void PointerEdits::openPointMenu(QPoint global)
{
    const int point = hot;
    menu = new QMenu(panel);
    menu->setObjectName(QStringLiteral("pointMenu"));
    QAction* duplicate = menu->addAction(interfaceText(StringDuplicate));
    QAction* remove = menu->addAction(interfaceText(StringDelete));
    connect(duplicate, &QAction::triggered, this, [this, point] { duplicatePoint(point); });
    connect(remove, &QAction::triggered, this, [this, point] { deletePoint(point); });
    // Dismissed without a choice, the menu must not leave the mouse ignored.
    connect(menu, &QMenu::aboutToHide, this, [this] {
        if (menu)
            menu->deleteLater();
        menu = nullptr;
    });
    menu->popup(global);
}

void PointerEdits::duplicatePoint(int point)
{
    if (duplicateMotionPoint(&panel->points, point))
        return;
    emit panel->overlayChanged();
    panel->requestPreview();
}

void PointerEdits::deletePoint(int point)
{
    if (point < 0 || point >= int(panel->points.size()))
        return;
    deleteMotionPoint(&panel->points, point);
    hot = -1;
    emit panel->overlayChanged();
    panel->requestPreview();
}
