#pragma once

// Display copies of images too large for the view's 16.16 fixed-point resampling. A copy whose
// width or height exceeds MaxResampledSide is replaced by its box average over factor x factor
// blocks, and drawn with the view state scaled to match, so the image shows at every zoom (from
// fewer pixels when zoomed in beyond 1 / factor). Images within the limit are left untouched.

#include "image/imageBuffer.h"
#include "view/viewTransform.h"

// The largest side the resamplers address.
constexpr int MaxResampledSide = 32767;

// The reduction an image of this size needs: 1 within the limit, else the smallest factor that
// brings both sides within it.
int viewReductionFactor(int width, int height);

// Replaces the 8-bit `copy` by its box average over factor x factor blocks (partial blocks at the
// right and bottom edges average what they hold). True when memory ran out; the copy is then
// empty. A factor of 1 or less changes nothing.
[[nodiscard]] bool reduceViewCopy(ImageBuffer* copy, int factor);

// The view state for drawing a copy reduced by `factor`: image coordinates divided by it, the
// zoom multiplied by it, so every window pixel shows the same image point.
ViewState reducedViewState(const ViewState& state, int factor);
