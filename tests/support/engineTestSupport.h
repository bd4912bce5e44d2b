#pragma once

// Helpers shared by the engine's tests: progress counting, simple kernels and scenes.

#include "engine/engine.h"
#include "tests/support/testImages.h"

#include <functional>

// Counts the progress a job reports; `onStep` runs after each step (to request an abort).
struct ProgressRecord {
    int minimum = -1;
    int maximum = -1;
    int position = -1;
    int steps = 0;
    std::function<void(int steps)> onStep;

    ProgressSink sink()
    {
        ProgressSink progress;
        progress.setRange = [this](int low, int high) {
            minimum = low;
            maximum = high;
        };
        progress.setPosition = [this](int value) { position = value; };
        progress.step = [this](int delta) {
            steps += delta;
            if (onStep)
                onStep(steps);
        };
        return progress;
    }
};

// A kernel of the given size whose only non-zero sample, 1, is at (x, y).
void makeImpulseKernel(ImageBuffer* kernel, int width, int height, int x, int y);

// A gray scene with flat areas, sharp edges and a gradient, deterministic.
void drawTestScene(ImageBuffer* image);

// A gray scene with the statistics of a photograph, deterministic: "dead leaves", discs of
// random grey with radii of 2 to 40 pixels following a power law, drawn over each other.
void drawLeavesScene(ImageBuffer* image);

// A straight shake of `length` pixels at `angle` degrees (counter-clockwise on screen) as a
// 65 x 65 float kernel centred at (32, 32).
void makeShakeKernel(ImageBuffer* kernel, double length, double angle);

// Circular-free spatial convolution with edge samples repeated; the kernel's centre is its
// sample (width / 2, height / 2). Adds uniform noise of +-noise levels from a fixed seed.
void blurScene(ImageBuffer* target, const ImageBuffer* source, const ImageBuffer* kernel,
    int radius, int noise);

// Peak signal-to-noise ratio of two 8-bit gray images over the area `border` pixels inside.
double psnr(const ImageBuffer* a, const ImageBuffer* b, int border);

// Restores the engine's settings at the end of a test that changes them.
struct EngineSettingsGuard {
    EngineSettings saved = engineSettings();
    ~EngineSettingsGuard() { configureEngine(saved); }
};
