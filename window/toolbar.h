#pragma once

// The main window's toolbar (id 109): the two correction buttons at the left; the zoom buttons,
// the zoom box and the Menu button pushed to the right edge by a spacer that is resized with the
// window. Picture buttons show a grey copy of their picture while disabled.

#include <QComboBox>
#include <QMenu>
#include <QToolButton>
#include <QWidget>
#include <array>

class QAction;
class ZoomBox;

// The window's commands that have a toolbar button; each button shows its action (picture,
// tooltip, enabled state) and triggers it.
struct ToolbarActions {
    QAction* focusCorrection;
    QAction* motionCorrection;
    QAction* zoomIn;
    QAction* zoomOut;
    QAction* zoom100;
    QAction* zoomFit;
    QAction* menu;
};

class Toolbar : public QWidget {
    Q_OBJECT

public:
    // The wheel over the zoom box goes to `wheelTarget` (the image view), so that it zooms the
    // image instead of scrolling the list.
    Toolbar(QWidget* parent, const ToolbarActions& actions, QWidget* wheelTarget);

    static constexpr int ButtonCount = 10;
    static constexpr int Indent = 7;
    static constexpr int GapWidth = 8;
    static constexpr int SlotWidth = 95;

    // The button of `command`, or null.
    QToolButton* button(int command) const;
    QComboBox* zoomBox() const;
    // The item rectangle of toolbar position 0..9.
    QRect itemRect(int position) const;
    // Resizes the spacer so that the last button ends at the right edge (at least 1 pixel wide)
    // and re-places the zoom box in its slot.
    void layOutItems();
    // Puts `text` into the zoom box without choosing a list entry.
    void showZoomText(const QString& text);

signals:
    // The zoom box's text was confirmed with Enter.
    void zoomTyped(const QString& text);
    // A zoom was chosen from the box's list.
    void zoomChosen(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::array<QWidget*, ButtonCount> items {};
    void fitZoomFont();

    ZoomBox* box = nullptr;
    int buttonWidth = 41;
    int buttonHeight = 41;
};

// The application menu (menu 110), labelled from the interface texts: File (Options..., Exit),
// Deblur (Out of Focus Correction..., Motion Correction...), Help (About...), over the window's
// actions.
struct MenuActions {
    QAction* options;
    QAction* exit;
    QAction* focusCorrection;
    QAction* motionCorrection;
    QAction* about;
};
QMenu* buildApplicationMenu(QWidget* parent, const MenuActions& actions);
