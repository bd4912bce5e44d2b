#pragma once

// The panel's progress bar (control 1079), which the job thread drives with blocking messages
// while the full job runs.

#include <QProgressBar>

constexpr int ProgressPositionMessage = 0x0402; // wParam: the new position
constexpr int ProgressDeltaMessage = 0x0403; // wParam: added to the position
constexpr int ProgressRangeMessage = 0x0406; // wParam: the minimum, lParam: the maximum

class JobProgressBar : public QProgressBar {
public:
    explicit JobProgressBar(QWidget* parent);

protected:
    bool event(QEvent* event) override;
};
