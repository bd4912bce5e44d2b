#pragma once

// The one mapping between window (client) pixels and image pixels. Every coordinate the view
// shows or takes from the mouse goes through these functions, so their arithmetic is exact and
// stays as written: other code relies on the rounding of imageToWindow.
//
// All functions here are pure and safe for any input: a transform built from an extreme or
// non-finite zoom gives extreme or non-finite image coordinates, never undefined behaviour.

#include <cstdint>

// Image point = (offsetX, offsetY) + window point rotated and scaled by (scaleCos, scaleSin).
struct ViewTransform {
    double offsetX; // image x of window point (0, 0)
    double offsetY; // image y of window point (0, 0)
    double scaleCos; // cos(angle) / zoom: image pixels per window pixel along x
    double scaleSin; // sin(angle) / zoom
};

// Where the window looks at the image: the window point (viewCenterX, viewCenterY) shows the
// image point (imageCenterX, imageCenterY), magnified by `zoom` (window pixels per image pixel).
struct ViewState {
    double viewCenterX;
    double viewCenterY;
    double imageCenterX;
    double imageCenterY;
    double zoom;
};

// The transform under which window point (windowX, windowY) shows image point (imageX, imageY)
// at `zoom`, turned by `angleDegrees` (every caller passes 0).
ViewTransform setViewTransform(
    double windowX, double windowY, double imageX, double imageY, double angleDegrees, double zoom);

// setViewTransform of a view state, angle 0.
ViewTransform viewTransformFor(const ViewState& state);

// The image point shown at window pixel (x, y). Either output may be null.
void windowToImage(
    const ViewTransform& transform, std::int32_t x, std::int32_t y, double* imageX, double* imageY);

// The window pixel that shows image point (imageX, imageY): the exact position plus 0.5,
// truncated toward zero, so that -1.7 gives -1 and -2.5 gives -2. Positions beyond the 32-bit
// range saturate to its ends and a non-finite position gives 0. Either output may be null.
void imageToWindow(
    const ViewTransform& transform, double imageX, double imageY, std::int32_t* x, std::int32_t* y);

// truncate(value) into 32 bits, saturating at the range's ends; NaN gives 0.
std::int32_t saturatingTruncate(double value);
