#pragma once

// Where a job reports its progress: a range, an absolute position and relative steps, in the
// way a progress bar takes them. Every member may be empty.

#include <functional>

struct ProgressSink {
    std::function<void(int minimum, int maximum)> setRange;
    std::function<void(int position)> setPosition;
    std::function<void(int delta)> step;
};

inline void reportStep(const ProgressSink& progress)
{
    if (progress.step)
        progress.step(1);
}
