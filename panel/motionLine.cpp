#include "panel/motionLine.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

// Moves the points to a new array of `capacity`, leaving room for `gapAt`'s insertion: points
// from `gapAt` on move up by one. The caller fills the gap and counts the new point.
bool reallocateWithGap(ImageView* view, int capacity, int gapAt)
{
    auto* points = new (std::nothrow) MotionPoint[std::size_t(capacity)];
    if (!points)
        return false;
    const int count = view->pointCount;
    std::copy(view->points, view->points + gapAt, points);
    std::copy(view->points + gapAt, view->points + count, points + gapAt + 1);
    delete[] view->points;
    view->points = points;
    view->pointCapacity = capacity;
    return true;
}

// The point `distance` beyond `end` on the line from `from` through `end`; to the right of
// `end` when the two coincide and the line has no direction.
MotionPoint beyond(const MotionPoint& from, const MotionPoint& end, double distance)
{
    const double dx = end.x - from.x;
    const double dy = end.y - from.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (!(length > 0))
        return {end.x + distance, end.y, 0};
    return {end.x + dx * distance / length, end.y + dy * distance / length, 0};
}

MotionPoint towards(const MotionPoint& point, const MotionPoint& neighbour, std::uint8_t selected)
{
    return {
        point.x + (neighbour.x - point.x) / 10, point.y + (neighbour.y - point.y) / 10, selected};
}

} // namespace

bool appendMotionPoint(ImageView* view, double x, double y)
{
    const int count = view->pointCount;
    if (count >= view->pointCapacity
        && !reallocateWithGap(view, view->pointCapacity + MotionPointBlock, count))
        return false;
    view->points[count] = {x, y, 0};
    view->pointCount = count + 1;
    return true;
}

bool duplicateMotionPoint(ImageView* view, int index)
{
    const int count = view->pointCount;
    if (index < 0 || index >= count)
        return false;
    const int capacity = count >= view->pointCapacity - 1 ? view->pointCapacity + MotionPointBlock
                                                          : view->pointCapacity;
    if (count == 1) {
        const MotionPoint only = view->points[0];
        if (!reallocateWithGap(view, capacity, 1))
            return false;
        view->points[1] = {only.x + DuplicateDistance, only.y, 0};
    } else if (index == 0) {
        const MotionPoint added = beyond(view->points[1], view->points[0], DuplicateDistance);
        if (!reallocateWithGap(view, capacity, 0))
            return false;
        view->points[0] = added;
    } else if (index == count - 1) {
        const MotionPoint added
            = beyond(view->points[count - 2], view->points[count - 1], DuplicateDistance);
        if (!reallocateWithGap(view, capacity, count))
            return false;
        view->points[count] = added;
    } else {
        const MotionPoint previous = view->points[index - 1];
        const MotionPoint point = view->points[index];
        const MotionPoint next = view->points[index + 1];
        if (!reallocateWithGap(view, capacity, index + 1))
            return false;
        view->points[index] = towards(point, previous, 0);
        view->points[index + 1] = towards(point, next, point.selected);
    }
    view->pointCount = count + 1;
    return true;
}

void deleteMotionPoint(ImageView* view, int index)
{
    const int count = view->pointCount;
    if (index < 0 || index >= count)
        return;
    std::copy(view->points + index + 1, view->points + count, view->points + index);
    view->pointCount = count - 1;
}

void freeMotionLine(ImageView* view)
{
    delete[] view->points;
    view->points = nullptr;
    view->pointCount = 0;
    view->pointCapacity = 0;
}

int findHotPoint(const ImageView& view, ImagePoint cursor)
{
    int hot = -1;
    long long nearest = 0;
    const int count = std::min(view.screenPointCount, view.pointCount);
    for (int i = 0; i < count; ++i) {
        const long long dx = std::llabs(static_cast<long long>(view.screenPoints[i].x) - cursor.x);
        const long long dy = std::llabs(static_cast<long long>(view.screenPoints[i].y) - cursor.y);
        if (dx > HotPointReach || dy > HotPointReach)
            continue;
        const long long distance = dx * dx + dy * dy;
        if (hot < 0 || distance < nearest) {
            hot = i;
            nearest = distance;
        }
    }
    return hot;
}

bool clearPointSelection(ImageView* view)
{
    bool anySelected = false;
    for (int i = 0; i < view->pointCount; ++i) {
        anySelected = anySelected || view->points[i].selected;
        view->points[i].selected = 0;
    }
    return anySelected;
}
