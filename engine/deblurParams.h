#pragma once

// The parameters of one run of a deblur as the engine reads them. The caller fills the record and
// keeps it unchanged while the job or preview that reads it runs (only the flag behind `abort`
// changes). The record owns its kernel: it is freed
// with the record, and the record moves but is not copied.

#include "engine/abort.h"
#include "image/ownedImage.h"

enum DeblurMethod { ProgressiveMethod = 0, SmoothingMethod = 1 };
enum DeblurPower { LowPower = 0, MediumPower = 1, HighPower = 2 };
enum NoiseLevel { ClearNoise = 0, MediumNoise = 1, NoisyNoise = 2 };

// The choices a deblur starts from, wherever it is asked for.
constexpr int DefaultMethod = ProgressiveMethod;
constexpr int DefaultPower = MediumPower;
constexpr int DefaultNoise = MediumNoise;
constexpr int DefaultDetail = 12;
constexpr int MinDetail = 1;
constexpr int MaxDetail = 50;

struct DeblurParams {
    int method = DefaultMethod;
    int power = DefaultPower;
    int noise = DefaultNoise;
    int detail = DefaultDetail; // "level of details", 1 .. 50: width of the defocus spot
    bool motionMode = false; // motion correction rather than out of focus
    bool importedKernel = false; // `kernel` came from a picture; the builders leave it alone
    // The FFT canvas is the padded tile's size rounded up to an even product of primes up to 13
    // rather than to a power of two: the same padding on less canvas (the motion preview).
    bool compactCanvas = false;
    OwnedImage kernel; // the point-spread function: one channel of floats summing to 1
    AbortToken abort; // the run's own stop request, polled between steps
};

// The spread of the defocus spot for a level of details.
constexpr double defocusSpread(int detail)
{
    return detail / 30.0 + 0.2;
}

// Spreads of the spot that softens a motion kernel.
constexpr double JobMotionSpread = 0.7;
constexpr double PreviewMotionSpread = 0.6;
