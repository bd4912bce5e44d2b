#pragma once

// The deblur panel's mouse edits over the image: the motion line's points (insert with Ctrl and
// the left button, select, drag, duplicate and delete through the point's menu) and the drag of
// the preview rectangle. An event filter on the window's view: it takes the mouse events it
// uses, and the view pans and zooms with the rest.

#include "image/imageBuffer.h"

#include <QEvent>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <cstdint>

class DeblurPanel;
class QMouseEvent;

class PointerEdits : public QObject {
    Q_OBJECT

public:
    enum Drag { NoDrag, DraggingPreviewRect, DraggingPoint };

    PointerEdits(DeblurPanel* panel, QWidget* surface);
    ~PointerEdits() override;

    // Ends any drag and forgets the point under the cursor (the panel's state changed).
    void reset();

    Drag drag() const { return dragging; }
    int hotPoint() const { return hot; }
    bool overPreviewRect() const { return rectHover; }
    // The point menu while it is up, else null.
    QMenu* pointMenu() const { return menu; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool mouse(QEvent::Type type, const QMouseEvent* event);
    bool endDrag();
    bool insertPoint(ImagePoint cursor);
    void findHotPoint(ImagePoint cursor);
    bool previewRectEdit(QEvent::Type type, ImagePoint cursor);
    void openPointMenu(QPoint global);
    void duplicatePoint(int point);
    void deletePoint(int point);
    void setCursor(Qt::CursorShape shape);

    DeblurPanel* panel;
    QPointer<QWidget> surface;
    Drag dragging = NoDrag;
    int hot = -1; // the motion-line point under the cursor
    bool rectHover = false; // over the preview rectangle (Preview on) or dragging it
    ImagePoint anchor {0, 0}; // device pixels, while the preview rectangle is dragged
    std::int64_t lastInsertion = -1000; // milliseconds, of the last insertion or drag step
    QPointer<QMenu> menu;
};
