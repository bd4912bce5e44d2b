// The panel's arithmetic without widgets: the motion line's edits, the preview rectangle and the
// memory check.

#include "panel/memoryCheck.h"
#include "panel/motionLine.h"
#include "panel/previewRect.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

class MotionLineEdits : public testing::Test {
protected:
    MotionLine points;

    void line(std::vector<MotionPoint> added)
    {
        for (const MotionPoint& point : added)
            ASSERT_FALSE(appendMotionPoint(&points, point.x, point.y));
    }
    MotionPoint at(int index) const { return points[index]; }
};

TEST_F(MotionLineEdits, DuplicatesPutTheNewPointWhereTheLineGoes)
{
    line({{40, 30, 0}});
    ASSERT_FALSE(duplicateMotionPoint(&points, 0)); // a single point: 10 pixels to its right
    ASSERT_EQ(int(points.size()), 2);
    EXPECT_EQ(at(1).x, 50);
    EXPECT_EQ(at(1).y, 30);

    ASSERT_FALSE(appendMotionPoint(&points, 50, 60)); // 40,30  50,30  50,60
    ASSERT_FALSE(duplicateMotionPoint(&points, 2)); // the last: 10 further down the last segment
    ASSERT_EQ(int(points.size()), 4);
    EXPECT_DOUBLE_EQ(at(3).x, 50);
    EXPECT_DOUBLE_EQ(at(3).y, 70);

    ASSERT_FALSE(duplicateMotionPoint(&points, 0)); // the first: 10 before it, the rest follow
    ASSERT_EQ(int(points.size()), 5);
    EXPECT_DOUBLE_EQ(at(0).x, 30);
    EXPECT_DOUBLE_EQ(at(0).y, 30);
    EXPECT_DOUBLE_EQ(at(1).x, 40);
    EXPECT_DOUBLE_EQ(at(4).y, 70);

    points[2].selected = 1; // an inner point: two, a tenth towards each neighbour
    ASSERT_FALSE(duplicateMotionPoint(&points, 2));
    ASSERT_EQ(int(points.size()), 6);
    EXPECT_DOUBLE_EQ(at(2).x, 49);
    EXPECT_DOUBLE_EQ(at(2).y, 30);
    EXPECT_EQ(at(2).selected, 0);
    EXPECT_DOUBLE_EQ(at(3).x, 50);
    EXPECT_DOUBLE_EQ(at(3).y, 33);
    EXPECT_EQ(at(3).selected, 1);
    EXPECT_DOUBLE_EQ(at(4).y, 60);
}

// An end point lying on its neighbour gives the line no direction there: the copy goes to the
// right, as for a single point, and never to NaN.
TEST_F(MotionLineEdits, AnEndOnItsNeighbourIsDuplicatedToTheRight)
{
    line({{20, 20, 0}, {20, 20, 0}});
    ASSERT_FALSE(duplicateMotionPoint(&points, 1));
    ASSERT_FALSE(duplicateMotionPoint(&points, 0));
    ASSERT_EQ(int(points.size()), 4);
    EXPECT_EQ(at(0).x, 30);
    EXPECT_EQ(at(3).x, 30);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(std::isfinite(at(i).x) && std::isfinite(at(i).y)) << i;
}

TEST_F(MotionLineEdits, DeletingAndOutOfRangeIndices)
{
    line({{1, 1, 0}, {2, 2, 0}, {3, 3, 0}});
    deleteMotionPoint(&points, 1);
    ASSERT_EQ(int(points.size()), 2);
    EXPECT_EQ(at(1).x, 3);
    deleteMotionPoint(&points, 5);
    EXPECT_TRUE(duplicateMotionPoint(&points, 2));
    EXPECT_TRUE(duplicateMotionPoint(&points, -1));
    EXPECT_EQ(int(points.size()), 2);
    deleteMotionPoint(&points, 0);
    deleteMotionPoint(&points, 0);
    EXPECT_EQ(int(points.size()), 0);
}

TEST_F(MotionLineEdits, APointIsHotWithinSixPixelsInBothDirections)
{
    line({{0, 0, 0}, {0, 0, 0}, {0, 0, 0}});
    const std::vector<ScreenPoint> screen {{100, 100, 0}, {110, 100, 0}, {104, 100, 0}};
    EXPECT_EQ(findHotPoint(screen, {94, 106}), 0); // 6 and 6
    EXPECT_EQ(findHotPoint(screen, {93, 100}), -1); // 7 across
    EXPECT_EQ(findHotPoint(screen, {100, 107}), -1); // 7 down
    EXPECT_EQ(findHotPoint(screen, {108, 100}), 1); // nearest of three
    EXPECT_EQ(findHotPoint(screen, {102, 100}), 0); // a tie: the first
    points[1].selected = 1;
    EXPECT_TRUE(clearPointSelection(&points));
    EXPECT_FALSE(clearPointSelection(&points));
}

TEST(PreviewRectangle, CentredOnTheViewAndCutAtTheEdges)
{
    const PreviewRect atEdge = centredPreviewRect(150, 150, {1000, 800});
    EXPECT_EQ(atEdge.x0, 0);
    EXPECT_EQ(atEdge.y0, 0);
    const PreviewRect inside = centredPreviewRect(151, 400, {1000, 800});
    EXPECT_EQ(inside.x0, 1);
    EXPECT_EQ(inside.x1, 301);
    EXPECT_EQ(inside.rect.left, 1);
    EXPECT_EQ(inside.rect.bottom, 550);
    const PreviewRect corner = centredPreviewRect(950, 790, {1000, 800});
    EXPECT_EQ(corner.x1, 1000);
    EXPECT_EQ(corner.y1, 800);
    EXPECT_EQ(corner.rect.left, 800);
}

// Dragged past the image, the rectangle keeps its size in the doubles and only the pixel
// rectangle stops at the edge; dragged back it is whole again. Off the image, nothing is left
// worth a preview.
TEST(PreviewRectangle, DraggedPastTheEdgeAndBack)
{
    PreviewRect preview = centredPreviewRect(500, 400, {1000, 800});
    movePreviewRect(&preview, 700.4, 0, {1000, 800});
    EXPECT_DOUBLE_EQ(preview.x1, 1350.4);
    EXPECT_EQ(preview.rect.left, 1000);
    EXPECT_EQ(preview.rect.right, 1000);
    EXPECT_FALSE(previewRectUsable(preview.rect));
    movePreviewRect(&preview, -1500, -600, {1000, 800});
    EXPECT_EQ(preview.rect.left, 0);
    EXPECT_EQ(preview.rect.right, 0); // -149.6 + 0.5 truncates to -149: below 1 is 0
    EXPECT_EQ(preview.rect.top, 0);
    EXPECT_EQ(preview.rect.bottom, 0);
    movePreviewRect(&preview, 799.6, 600, {1000, 800});
    EXPECT_EQ(preview.rect.left, 350);
    EXPECT_EQ(preview.rect.right, 650);
    EXPECT_EQ(preview.rect.top, 250);
    EXPECT_EQ(preview.rect.bottom, 550);
    EXPECT_TRUE(previewRectUsable(preview.rect));

    preview.x0 = 0.4; // truncated after adding a half, then below 1 counts as 0
    preview.x1 = 1.6;
    EXPECT_EQ(derivePreviewRect(preview, {1000, 800}).left, 0);
    EXPECT_EQ(derivePreviewRect(preview, {1000, 800}).right, 2);
}

TEST(MemoryCheck, NeedOfAJobAndTheLimitOf32BitProcessesOnly)
{
    ImageBuffer rgb {};
    rgb.width = 3000;
    rgb.height = 2000;
    rgb.channels = 3;
    rgb.bitsPerChannel = 8;
    rgb.dataSize = 3000 * 3 * 2000;
    ImageBuffer gray = rgb;
    gray.channels = 1;
    gray.dataSize = 3000 * 2000;
    // The result, the colour planes and at least one tile's canvases, whatever the method.
    for (int method : {0, 1}) {
        const long long planesAndResult = 5LL * 3000 * 2000 + rgb.dataSize;
        EXPECT_GT(jobMemoryNeed(rgb, method), planesAndResult + 2048LL * 2048 * 4 * 2) << method;
        EXPECT_LT(jobMemoryNeed(rgb, method), planesAndResult + (400LL << 20)) << method;
        EXPECT_EQ(jobMemoryNeed(rgb, method) - jobMemoryNeed(gray, method),
            5LL * 3000 * 2000 + rgb.dataSize - gray.dataSize)
            << method;
        // A motion job pads its tiles far more, onto canvases four times as large.
        EXPECT_GT(jobMemoryNeed(rgb, method, true), jobMemoryNeed(rgb, method) + (100LL << 20));
    }

    // A 20000 x 14000 photo needs about 2.4 GB: refused in a 32-bit process, fine in a 64-bit one
    // with the memory to spare.
    ImageBuffer large = rgb;
    large.width = 20000;
    large.height = 14000;
    large.dataSize = 20000 * 3 * 14000;
    const long long need = jobMemoryNeed(large, 0);
    const long long plenty = 20LL << 30;
    EXPECT_FALSE(jobFitsMemory(need, plenty, true));
    EXPECT_TRUE(jobFitsMemory(need, plenty, false));
    EXPECT_FALSE(jobFitsMemory(need, need - 1, false));
    EXPECT_TRUE(jobFitsMemory(need, need, false));
    EXPECT_TRUE(jobFitsMemory(need, -1, false)); // the system does not say
}

} // namespace
