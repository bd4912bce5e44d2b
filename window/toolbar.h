#pragma once

// The main window's toolbar (id 109): the two correction buttons at the left; the zoom buttons,
// the zoom box and the Menu button pushed to the right edge by a spacer that is resized with the
// window. Picture buttons show a grey copy of their picture while disabled.

#include <QComboBox>
#include <QMenu>
#include <QToolButton>
#include <QWidget>
#include <array>

class ZoomBox;

class Toolbar : public QWidget {
public:
    // `window` receives the commands (as direct calls of `onCommand`) and the zoom box's typed
    // zoom message.
    Toolbar(QWidget* window, void (*onCommand)(QWidget* window, int command));

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

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* window;
    void (*onCommand)(QWidget*, int);
    std::array<QWidget*, ButtonCount> items {};
    void fitZoomFont();

    ZoomBox* box = nullptr;
    int buttonWidth = 41;
    int buttonHeight = 41;
};

// The application menu (menu 110), labelled from the interface texts: File (Options..., Exit),
// Deblur (Out of Focus Correction..., Motion Correction...), Help (About...). Each item's data is
// its command number.
QMenu* buildApplicationMenu(QWidget* parent);
