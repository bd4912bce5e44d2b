#pragma once

// A one-line progress bar with elapsed time on standard error, fed by the engine's progress
// sink. It draws only when standard error is a terminal and it is enabled.

#include "engine/progress.h"

#include <chrono>

class ProgressBar {
public:
    explicit ProgressBar(bool enabled);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    ProgressSink sink();
    // Draws the bar full and ends its line.
    void finish();
    // Ends the bar's line where it stands, so that a message can follow on a line of its own.
    void endLine();
    double elapsedSeconds() const;

private:
    void draw(bool force);

    bool enabled;
    bool drawn = false;
    int maximum = 0;
    int position = 0;
    std::chrono::steady_clock::time_point start;
    std::chrono::steady_clock::time_point lastDraw;
};
