#pragma once

// The docker: a strip at the right edge of the main window that stacks child windows (the deblur
// panel) one below the other and takes the width of the widest plus one pixel, drawn in the
// skin's button face with a highlight line along its inner edge.

#include <QList>
#include <QWidget>

class Docker : public QWidget {
public:
    explicit Docker(QWidget* parent);

    // Inserts `child` at `position` of the list (clamped to it); the child becomes the docker's.
    void insertChild(QWidget* child, int position);
    // Takes `child` off the list; it stays the docker's child until it is deleted or reparented.
    void removeChild(QWidget* child);
    // Places the children from y = 0 at x = 1, right of the highlight line, each at its own size;
    // then fixes the docker's width to the widest child's plus one pixel (the window's layout
    // places it).
    void layOut();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<QWidget*> children;
};
