#pragma once

// Editing the motion line: the points the user puts on the image in motion mode, kept in the
// image view's `points` array (which the view draws and the kernel builder reads). The panel
// owns the array; these functions allocate, grow and free it.

#include "image/imageBuffer.h"
#include "view/imageView.h"

// The array starts with room for this many points and grows by as many when full.
constexpr int MotionPointBlock = 50;
// How far a duplicated end point is put beyond the end, in image pixels.
constexpr double DuplicateDistance = 10.0;
// A point is under the cursor when its screen position is within this many pixels of it in both
// x and y.
constexpr int HotPointReach = 6;

// Appends an unselected point at (x, y). False when the array cannot grow (nothing changes).
[[nodiscard]] bool appendMotionPoint(ImageView* view, double x, double y);

// Puts a copy of point `index` beside it: a single point gets a second one DuplicateDistance to
// its right; an end point gets a new end DuplicateDistance further along the line (to the right
// where the line's last segment has no length); an inner point becomes two, each a tenth of the
// way towards one of its neighbours. False when `index` names no point or memory ran out.
[[nodiscard]] bool duplicateMotionPoint(ImageView* view, int index);

// Removes point `index` (nothing when it names no point).
void deleteMotionPoint(ImageView* view, int index);

// Frees the array: no points, no capacity.
void freeMotionLine(ImageView* view);

// The point whose screen position (the view's `screenPoints`) is within HotPointReach of
// `cursor` in both x and y and nearest to it, the first on a tie; -1 when there is none.
int findHotPoint(const ImageView& view, ImagePoint cursor);

// Clears every point's selected flag; true when one was selected.
bool clearPointSelection(ImageView* view);
