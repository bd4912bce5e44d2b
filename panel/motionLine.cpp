#include "panel/motionLine.h"

#include <cmath>
#include <cstdlib>
#include <new>

namespace {

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

// Inserts `point` before position `at`; true when memory ran out.
bool insertPoint(MotionLine* line, int at, const MotionPoint& point)
{
    try {
        line->insert(line->begin() + at, point);
    } catch (const std::bad_alloc&) {
        return true;
    }
    return false;
}

} // namespace

bool appendMotionPoint(MotionLine* line, double x, double y)
{
    return insertPoint(line, int(line->size()), {x, y, 0});
}

bool duplicateMotionPoint(MotionLine* line, int index)
{
    const int count = int(line->size());
    if (index < 0 || index >= count)
        return true;
    MotionLine& points = *line;
    if (count == 1)
        return insertPoint(line, 1, {points[0].x + DuplicateDistance, points[0].y, 0});
    if (index == 0)
        return insertPoint(line, 0, beyond(points[1], points[0], DuplicateDistance));
    if (index == count - 1)
        return insertPoint(
            line, count, beyond(points[count - 2], points[count - 1], DuplicateDistance));
    const MotionPoint point = points[index];
    if (insertPoint(line, index + 1, towards(point, points[index + 1], point.selected)))
        return true;
    points[index] = towards(point, points[index - 1], 0);
    return false;
}

void deleteMotionPoint(MotionLine* line, int index)
{
    if (index >= 0 && index < int(line->size()))
        line->erase(line->begin() + index);
}

int findHotPoint(std::span<const ScreenPoint> screenPoints, ImagePoint cursor)
{
    int hot = -1;
    long long nearest = 0;
    for (int i = 0; i < int(screenPoints.size()); ++i) {
        const long long dx = std::llabs(static_cast<long long>(screenPoints[i].x) - cursor.x);
        const long long dy = std::llabs(static_cast<long long>(screenPoints[i].y) - cursor.y);
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

bool clearPointSelection(MotionLine* line)
{
    bool anySelected = false;
    for (MotionPoint& point : *line) {
        anySelected = anySelected || point.selected;
        point.selected = 0;
    }
    return anySelected;
}
