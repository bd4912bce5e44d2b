#pragma once

// The level-of-details trackbar (control 1072): a slider that takes the keyboard on a click and
// draws its channel filled in blue up to the thumb. The panel follows its actionTriggered and
// sliderReleased signals.

#include <QSlider>

class DetailSlider : public QSlider {
public:
    explicit DetailSlider(QWidget* parent);

    // The channel and thumb rectangles, in the slider's pixels.
    QRect channelRect() const;
    QRect thumbRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
