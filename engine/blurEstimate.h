#pragma once

// Finds the blur of a photograph for the user: the level of details whose out-of-focus spot best
// explains it, or the straight camera-shake line that made it. Both look at the power spectrum
// averaged over the most textured, windowed tiles of the picture's luma (at most 16 tiles of
// 256 x 256, whatever the photograph's size):
//
// - out of focus: the radial profile of the spectrum is fitted, for every level, by
//   A * rho^-alpha * |H(rho)|^2 + N (a natural picture's falling spectrum, the spot's transfer
//   function H, a noise floor); the level with the smallest relative misfit wins;
// - camera shake: the spectrum, whitened and weighted as a second derivative along a direction,
//   gives the autocorrelation of that derivative, which a straight shake of length l along the
//   direction turns into a deep minimum at lag l (its two ends); the deepest minimum over
//   directions and lags, measured against the other directions, is the line.
//
// The confidence (0..1) says how much better the estimate explains the picture than no blur
// does; below EstimateConfidenceNeeded the callers keep their defaults.

#include "engine/abort.h"
#include "image/imageBuffer.h"
#include "image/motionPoint.h"

enum class BlurEstimateStatus {
    Found, // confident enough to use
    Unsure, // a flat or noisy picture, or no blur of this kind: the default is better
    RegionOutside, // the region does not overlap the picture
    TooSmall, // the picture or region is under MinEstimateSide pixels a side
    OutOfMemory,
    Aborted, // the abort token was set
};

constexpr int MinEstimateSide = 64;
constexpr double EstimateConfidenceNeeded = 0.25;

struct DefocusEstimate {
    BlurEstimateStatus status = BlurEstimateStatus::Unsure;
    int detail = 0; // the best level, 1..50 (0 when nothing was measured)
    double confidence = 0.0;
};

struct ShakeEstimate {
    BlurEstimateStatus status = BlurEstimateStatus::Unsure;
    double length = 0.0; // pixels
    double angle = 0.0; // degrees, 0 to 180, counter-clockwise from the x axis as seen on screen
    MotionPoint from {}; // the line's two ends, centred in the region
    MotionPoint to {};
    double confidence = 0.0;
};

// `image`: 1 or 3 channels (blue, green, red), 8 or 16 bits. `region`: the part to look at,
// clipped to the picture; an empty rectangle (right <= left) means the whole picture. `abort` is
// polled between the tiles measured.
DefocusEstimate estimateDefocusLevel(
    const ImageBuffer* image, ImageRect region, AbortToken abort = {});
ShakeEstimate estimateShake(const ImageBuffer* image, ImageRect region, AbortToken abort = {});

// Words for an estimate's status, for messages: "" for Found.
const char* blurEstimateProblem(BlurEstimateStatus status);
