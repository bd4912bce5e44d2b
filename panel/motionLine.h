#pragma once

// Editing the motion line: the points the user puts on the image in motion mode. The panel owns
// the line; the view draws it through a span and the kernel builder reads it.
//
// Functions here that can fail return true when they failed, leaving the line as it was.

#include "image/imageBuffer.h"
#include "image/motionPoint.h"
#include "view/imageView.h"

#include <span>
#include <vector>

using MotionLine = std::vector<MotionPoint>;

// How far a duplicated end point is put beyond the end, in image pixels.
constexpr double DuplicateDistance = 10.0;
// A point is under the cursor when its screen position is within this many pixels of it in both
// x and y.
constexpr int HotPointReach = 6;

// Appends an unselected point at (x, y). True when memory ran out.
[[nodiscard]] bool appendMotionPoint(MotionLine* line, double x, double y);

// Puts a copy of point `index` beside it: a single point gets a second one DuplicateDistance to
// its right; an end point gets a new end DuplicateDistance further along the line (to the right
// where the line's last segment has no length); an inner point becomes two, each a tenth of the
// way towards one of its neighbours. True when `index` names no point or memory ran out.
[[nodiscard]] bool duplicateMotionPoint(MotionLine* line, int index);

// Removes point `index` (nothing when it names no point).
void deleteMotionPoint(MotionLine* line, int index);

// The point whose screen position is within HotPointReach of `cursor` in both x and y and
// nearest to it, the first on a tie; -1 when there is none.
int findHotPoint(std::span<const ScreenPoint> screenPoints, ImagePoint cursor);

// Clears every point's selected flag; true when one was selected.
bool clearPointSelection(MotionLine* line);
