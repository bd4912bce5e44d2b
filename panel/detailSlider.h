#pragma once

// The level-of-details trackbar (control 1072). It reports each user action with the scroll
// code the panel's handler expects, after the control has moved by its own step, and draws its
// channel filled in blue up to the thumb.

#include <QSlider>

enum TrackbarScroll {
    ScrollLineLeft = 0,
    ScrollLineRight = 1,
    ScrollPageLeft = 2,
    ScrollPageRight = 3,
    ScrollThumbPosition = 4, // the thumb was let go
    ScrollThumbTrack = 5, // the thumb is being dragged
    ScrollTop = 6,
    ScrollBottom = 7,
};

class DetailSlider : public QSlider {
    Q_OBJECT

public:
    explicit DetailSlider(QWidget* parent);

    // The channel and thumb rectangles, in the slider's pixels.
    QRect channelRect() const;
    QRect thumbRect() const;

signals:
    // Each user action with its scroll code; the position the control moved to is
    // sliderPosition(). A directly connected slot may move it further.
    void scrolled(int code);

protected:
    void paintEvent(QPaintEvent* event) override;
};
