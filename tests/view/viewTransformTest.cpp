#include "view/viewTransform.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(ViewTransform, WindowCentreShowsImageCentreAtAnyZoom)
{
    for (double zoom : {0.25, 1.0, 3.0, 17.5}) {
        const ViewTransform transform = viewTransformFor({400, 300, 1234.5, 987.25, zoom});
        EXPECT_DOUBLE_EQ(transform.scaleCos, 1 / zoom);
        EXPECT_EQ(transform.scaleSin, 0.0);
        double x;
        double y;
        windowToImage(transform, 400, 300, &x, &y);
        EXPECT_DOUBLE_EQ(x, 1234.5);
        EXPECT_DOUBLE_EQ(y, 987.25);
        // One window pixel right and down is 1 / zoom image pixels further.
        windowToImage(transform, 401, 302, &x, &y);
        EXPECT_DOUBLE_EQ(x, 1234.5 + 1 / zoom);
        EXPECT_DOUBLE_EQ(y, 987.25 + 2 / zoom);
    }
}

TEST(ViewTransform, ImageToWindowTruncatesTowardZero)
{
    const ViewTransform transform = setViewTransform(0, 0, 0, 0, 0, 1);
    struct {
        double image;
        std::int32_t window;
    } const cases[] = {{-1.7, -1}, {-2.5, -2}, {-0.4, 0}, {2.3, 2}, {2.5, 3}, {0, 0}};
    for (const auto& c : cases) {
        std::int32_t x;
        std::int32_t y;
        imageToWindow(transform, c.image, c.image, &x, &y);
        EXPECT_EQ(x, c.window) << c.image;
        EXPECT_EQ(y, c.window) << c.image;
    }
}

TEST(ViewTransform, RoundTripKeepsNonNegativePointsAndMovesNegativeOnesUp)
{
    const ViewTransform transform = viewTransformFor({512, 384, 2000, 1500, 1});
    for (std::int32_t p : {0, 1, 17, 511, 2999}) {
        double ix;
        double iy;
        windowToImage(transform, p, p, &ix, &iy);
        std::int32_t x;
        std::int32_t y;
        imageToWindow(transform, ix, iy, &x, &y);
        EXPECT_EQ(x, p);
        EXPECT_EQ(y, p);
    }
    double ix;
    windowToImage(transform, -3, 0, &ix, nullptr);
    std::int32_t x;
    imageToWindow(transform, ix, 0, &x, nullptr);
    EXPECT_EQ(x, -2);
}

TEST(ViewTransform, ExtremeZoomsSaturateInsteadOfOverflowing)
{
    constexpr std::int32_t highest = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t lowest = std::numeric_limits<std::int32_t>::min();
    const ViewTransform closeUp = viewTransformFor({500, 500, 100, 100, 1e6});
    std::int32_t x;
    std::int32_t y;
    imageToWindow(closeUp, 6000, -6000, &x, &y);
    EXPECT_EQ(x, highest);
    EXPECT_EQ(y, lowest);
    imageToWindow(closeUp, 100.0001, 100, &x, &y);
    EXPECT_EQ(x, 600);
    EXPECT_EQ(y, 500);

    const ViewTransform farOut = viewTransformFor({500, 500, 100, 100, 1e-6});
    imageToWindow(farOut, 100 + 1e14, 1e300, &x, &y);
    EXPECT_EQ(x, 500 + 100000000);
    EXPECT_EQ(y, highest);

    // Zoom 0 makes the transform infinite: positions become NaN or infinite, never undefined.
    const ViewTransform zero = viewTransformFor({500, 500, 100, 100, 0});
    imageToWindow(zero, 200, 100, &x, &y);
    EXPECT_EQ(x, 0); // the transform's terms cancel to NaN, which gives 0
    EXPECT_EQ(y, 0);
    EXPECT_EQ(saturatingTruncate(std::nan("")), 0);
    EXPECT_EQ(saturatingTruncate(-1e300), lowest);
    EXPECT_EQ(saturatingTruncate(2147483647.9), highest);
}

} // namespace
