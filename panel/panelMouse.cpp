// The deblur panel's mouse edits over the image: the motion line's points (insert with Ctrl and
// the left button, select, drag, duplicate, delete) and the drag of the preview rectangle. The
// main window passes every mouse event over its view on as a set-cursor message.

#include "panel/deblurPanel.h"

#include "engine/deblurParams.h"
#include "panel/interfaceText.h"
#include "panel/motionLine.h"
#include "panel/panelState.h"
#include "platform/windowMessage.h"

#include <QCheckBox>
#include <QMenu>
#include <chrono>

namespace {

// Two insertions closer than this are one click (a double click, or a bounce of the button).
constexpr std::uint32_t InsertionInterval = 100;

// Milliseconds on a clock that only goes forward, wrapping at 32 bits.
std::uint32_t tickCount()
{
    using namespace std::chrono;
    return std::uint32_t(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

bool isMouseMessage(int message)
{
    return message == MouseMoveMessage || message == LeftDownMessage || message == LeftUpMessage
        || message == RightDownMessage || message == RightUpMessage;
}

} // namespace

void DeblurPanel::setCursors(Qt::CursorShape shape)
{
    host.mainWindow->setCursor(shape);
    host.docker->setCursor(shape);
    setCursor(shape);
}

void DeblurPanel::mouseOverImage(int message)
{
    if (panelState.closing || running || panelState.resultReady || panelState.pointMenuOpen
        || !isMouseMessage(message))
        return;
    // A drag let go over the bars or the docker still ends, as it would over the image.
    if (message == LeftUpMessage && panelState.panelMouseMode != NoMouseDrag) {
        const bool pointDrag = panelState.panelMouseMode == DraggingPoint;
        panelState.panelMouseMode = NoMouseDrag;
        panelState.previewRectHover = false;
        if (!pointDrag || (previewChecked() && host.view->pointCount >= 2))
            sendWindowMessage(this, PreviewMessage);
        return;
    }
    const ImagePoint cursor = host.pointer->position;
    const int dockerTop = toDevice(host.docker->y());
    const int dockerBottom = toDevice(host.docker->y() + host.docker->height());
    const int dockerLeft = toDevice(host.docker->x());
    if (cursor.y < dockerTop || cursor.y > dockerBottom || cursor.x > dockerLeft) {
        setCursors(Qt::ArrowCursor);
        return;
    }
    const ViewTransform view = transform();
    ImageView* imageView = host.view;
    int& hotPoint = panelState.hotPoint;
    int& mouseMode = panelState.panelMouseMode;
    const bool motion = deblurParams.motionMode;

    bool insertionTooSoon = false;
    if (motion && host.pointer->control) {
        setCursors(Qt::CrossCursor);
        if (message != LeftDownMessage) {
            clearPointSelection(imageView);
            sendToWindow(RenderPointsMessage);
            return;
        }
        const std::uint32_t now = tickCount();
        if (now - panelState.lastInsertionTick > InsertionInterval) {
            panelState.lastInsertionTick = now;
            double x = 0;
            double y = 0;
            windowToImage(view, cursor.x, cursor.y, &x, &y);
            if (appendMotionPoint(imageView, x, y)) {
                sendToWindow(RenderPointsMessage);
                if (previewChecked() && imageView->pointCount >= 2)
                    sendWindowMessage(this, PreviewMessage);
            }
            return;
        }
        insertionTooSoon = true; // handled as a press on the line below
    }

    if (motion && !insertionTooSoon && mouseMode != DraggingPoint) {
        sendToWindow(UpdatePointsMessage);
        hotPoint = findHotPoint(*imageView, cursor);
        if (hotPoint < 0) {
            if (clearPointSelection(imageView))
                sendToWindow(RenderPointsMessage);
        } else {
            setCursors(Qt::PointingHandCursor);
            if (!imageView->points[hotPoint].selected) {
                clearPointSelection(imageView);
                imageView->points[hotPoint].selected = 1;
            }
            sendToWindow(RenderPointsMessage);
        }
    }

    // Dragging a point.
    if (message == LeftDownMessage && hotPoint >= 0) {
        mouseMode = DraggingPoint;
    } else if (message == LeftUpMessage && mouseMode == DraggingPoint) {
        mouseMode = NoMouseDrag;
        if (previewChecked() && imageView->pointCount >= 2)
            sendWindowMessage(this, PreviewMessage);
    } else if (message == MouseMoveMessage && mouseMode == DraggingPoint) {
        panelState.lastInsertionTick = tickCount();
        if (hotPoint >= 0 && hotPoint < imageView->pointCount) {
            MotionPoint& point = imageView->points[hotPoint];
            windowToImage(view, cursor.x, cursor.y, &point.x, &point.y);
        }
        sendToWindow(RenderPointsMessage);
        return;
    }

    if (hotPoint < 0) {
        // The preview rectangle, by its corners on the screen.
        std::int32_t left = 0;
        std::int32_t top = 0;
        std::int32_t right = 0;
        std::int32_t bottom = 0;
        imageToWindow(view, preview.rect.left, preview.rect.top, &left, &top);
        imageToWindow(view, preview.rect.right, preview.rect.bottom, &right, &bottom);
        const bool inside
            = cursor.x >= left && cursor.x < right && cursor.y >= top && cursor.y < bottom;
        panelState.previewRectHover
            = (inside && previewChecked() && previewAttached) || mouseMode == DraggingPreviewRect;
        setCursors(panelState.previewRectHover ? Qt::SizeAllCursor : Qt::ArrowCursor);
        if (message == LeftDownMessage && panelState.previewRectHover) {
            panelState.dragAnchor = cursor;
            mouseMode = DraggingPreviewRect;
        } else if (message == LeftUpMessage && mouseMode == DraggingPreviewRect) {
            mouseMode = NoMouseDrag;
            sendWindowMessage(this, PreviewMessage);
        } else if (message == MouseMoveMessage && mouseMode == DraggingPreviewRect) {
            const double zoom = host.viewState->zoom;
            movePreviewRect(&preview, (cursor.x - panelState.dragAnchor.x) / zoom,
                (cursor.y - panelState.dragAnchor.y) / zoom, imageSize());
            panelState.dragAnchor = cursor;
            sendToWindow(RenderPointsMessage);
        }
        return;
    }
    if (message == RightDownMessage)
        openPointMenu();
}

void DeblurPanel::openPointMenu()
{
    menuPoint = panelState.hotPoint;
    panelState.pointMenuOpen = true;
    menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("pointMenu"));
    QAction* duplicate = menu->addAction(interfaceText(StringDuplicate));
    QAction* remove = menu->addAction(interfaceText(StringDelete));
    connect(duplicate, &QAction::triggered, this, [this] { command(DuplicatePointCommand); });
    connect(remove, &QAction::triggered, this, [this] { command(DeletePointCommand); });
    // Dismissed without a choice, the menu must not leave the mouse ignored: its state ends as it
    // hides, before any command it carries runs.
    connect(menu, &QMenu::aboutToHide, this, [this] {
        panelState.pointMenuOpen = false;
        if (menu)
            menu->deleteLater();
    });
    menu->popup(host.pointer->global);
}

void DeblurPanel::pointMenuCommand(int id)
{
    const int point = menuPoint;
    menuPoint = -1;
    panelState.pointMenuOpen = false;
    if (point < 0 || point >= host.view->pointCount)
        return;
    if (id == DuplicatePointCommand) {
        if (!duplicateMotionPoint(host.view, point))
            return;
    } else {
        deleteMotionPoint(host.view, point);
        panelState.hotPoint = -1;
    }
    sendToWindow(RenderPointsMessage);
    sendWindowMessage(this, PreviewMessage);
}
