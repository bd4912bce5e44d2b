#include "cli/progressBar.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int BarWidth = 40;
constexpr auto RedrawInterval = std::chrono::milliseconds(100);

} // namespace

ProgressBar::ProgressBar(bool enabled)
    : enabled(enabled && ::isatty(STDERR_FILENO))
    , start(std::chrono::steady_clock::now())
{
}

ProgressBar::~ProgressBar()
{
    endLine();
}

void ProgressBar::endLine()
{
    if (drawn)
        std::fputs("\n", stderr);
    drawn = false;
}

ProgressSink ProgressBar::sink()
{
    ProgressSink progress;
    progress.setRange = [this](int, int high) {
        maximum = high;
        draw(true);
    };
    progress.setPosition = [this](int value) {
        position = value;
        draw(false);
    };
    progress.step = [this](int delta) {
        position += delta;
        draw(false);
    };
    return progress;
}

void ProgressBar::finish()
{
    position = maximum;
    draw(true);
    endLine();
}

double ProgressBar::elapsedSeconds() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void ProgressBar::draw(bool force)
{
    const auto now = std::chrono::steady_clock::now();
    if (!enabled || (!force && now - lastDraw < RedrawInterval))
        return;
    lastDraw = now;
    const double fraction = maximum > 0 ? std::clamp(double(position) / maximum, 0.0, 1.0) : 0.0;
    const int filled = int(fraction * BarWidth);
    char bar[BarWidth + 1];
    for (int i = 0; i < BarWidth; ++i)
        bar[i] = i < filled ? '#' : '.';
    bar[BarWidth] = '\0';
    std::fprintf(stderr, "\r[%s] %3d%%  %.1f s", bar, int(fraction * 100.0), elapsedSeconds());
    std::fflush(stderr);
    drawn = true;
}
