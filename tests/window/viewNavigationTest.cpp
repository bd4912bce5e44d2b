#include "window/viewNavigation.h"
#include "window/zoomControl.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::string typed(std::u16string_view text)
{
    const std::optional<double> zoom = parseTypedZoom(text);
    return zoom ? zoomText(*zoom) : "refused";
}

TEST(TypedZoom, ParsesDigitsWithEitherDecimalMarkAndClamps)
{
    EXPECT_EQ(typed(u"150"), "150.0 %");
    EXPECT_EQ(typed(u"150 %"), "150.0 %");
    EXPECT_EQ(typed(u"150%"), "150.0 %");
    EXPECT_EQ(typed(u"12,5"), "12.5 %");
    EXPECT_EQ(typed(u"12.5"), "12.5 %");
    EXPECT_EQ(typed(u"1000"), "800.0 %");
    EXPECT_EQ(typed(u"5"), "10.0 %");
    EXPECT_EQ(typed(u""), "10.0 %");
    EXPECT_EQ(typed(u"abc"), "refused");
    EXPECT_EQ(typed(u"15x0"), "refused"); // a letter anywhere before the end
    EXPECT_EQ(typed(u"150 abc"), "150.0 %"); // the blank ends the scan
    EXPECT_EQ(typed(u"0000000150"), "15.0 %"); // only nine characters are read
}

TEST(ZoomText, FormatsTheListAndAnyZoom)
{
    EXPECT_EQ(zoomText(1), "100.0 %");
    EXPECT_EQ(zoomText(0.125), "12.5 %");
    const char* list[]
        = {"10.0 %", "25.0 %", "50.0 %", "100.0 %", "150.0 %", "200.0 %", "400.0 %", "800.0 %"};
    for (int i = 0; i < ZoomListCount; ++i)
        EXPECT_EQ(zoomText(zoomOfListPosition(i)), list[i]);
    EXPECT_EQ(zoomOfListPosition(-1), 1.0);
    EXPECT_EQ(zoomOfListPosition(8), 1.0);
}

TEST(WheelZoom, StopsAt800PercentAndAtA100PixelLongSide)
{
    const ImageSize image {1000, 500};
    ViewState state {500, 250, 500, 250, 7.5};
    state = wheelZoom(state, {500, 250}, image, true);
    EXPECT_EQ(state.zoom, 8.0);
    state = wheelZoom(state, {500, 250}, image, true);
    EXPECT_EQ(state.zoom, 8.0);
    state.zoom = 0.11;
    state = wheelZoom(state, {500, 250}, image, false);
    EXPECT_EQ(state.zoom, 0.1); // 1000 x 0.1 = 100 pixels
    // A 1 x 1 image: the cap at 8 first, the 100-pixel bound last.
    ViewState dot {10, 10, 0.5, 0.5, 1};
    EXPECT_EQ(zoomText(wheelZoom(dot, {10, 10}, {1, 1}, true).zoom), "10000.0 %");
    EXPECT_EQ(zoomText(wheelZoom(dot, {10, 10}, {1, 1}, false).zoom), "10000.0 %");
}

TEST(WheelZoom, KeepsThePointUnderTheCursorOrTheNearestEdgePoint)
{
    const ImageSize image {200, 100};
    const ViewState state {100, 50, 100, 50, 1}; // the image covers window 0..200 x 0..100
    const ViewState inside = wheelZoom(state, {30, 40}, image, true);
    EXPECT_EQ(inside.viewCenterX, 30);
    EXPECT_EQ(inside.imageCenterX, 30);
    EXPECT_EQ(inside.imageCenterY, 40);
    const ViewState outside = wheelZoom(state, {500, -20}, image, true);
    EXPECT_EQ(outside.viewCenterX, 200);
    EXPECT_EQ(outside.viewCenterY, 0);
    EXPECT_EQ(outside.imageCenterX, 200);
    EXPECT_EQ(outside.imageCenterY, 0);
}

TEST(ToolbarZoom, StepsWithoutTheWheelsBoundsButStopsWhereTheViewCannotDraw)
{
    EXPECT_DOUBLE_EQ(zoomInStep(8.0), 9.6); // above 800 %
    EXPECT_DOUBLE_EQ(zoomOutStep(1.2, {100, 100}), 1.0);
    double zoom = 1;
    for (int i = 0; i < 200; ++i)
        zoom = zoomInStep(zoom);
    EXPECT_LE(zoom, MaxToolbarZoom);
    EXPECT_GT(zoom * ZoomStep, MaxToolbarZoom);
    zoom = 1;
    for (int i = 0; i < 200; ++i)
        zoom = zoomOutStep(zoom, {10, 10});
    EXPECT_GE(zoom * 10, 1.0); // the image never shrinks under one screen pixel
    for (int i = 0; i < 200; ++i)
        zoom = zoomOutStep(zoom, {1, 1});
    EXPECT_GE(zoom, MinToolbarZoom);
}

TEST(Fits, FitTheImageIntoTheViewArea)
{
    const ViewState fit = fitView({400, 100}, {0, 50, 800, 450});
    EXPECT_EQ(fit.zoom, 2.0);
    EXPECT_EQ(fit.viewCenterX, 400);
    EXPECT_EQ(fit.viewCenterY, 250);
    EXPECT_EQ(fit.imageCenterX, 200);
    const ViewState small = initialFit({10, 10}, 800, 600, 47);
    EXPECT_EQ(small.zoom, 8.0); // never above 800 %
    const ViewState large = initialFit({4000, 1000}, 804, 600, 47);
    EXPECT_DOUBLE_EQ(large.zoom, 400.0 / 2000); // (804 / 2 - 2) / (4000 / 2)
    EXPECT_EQ(large.viewCenterY, 347);
}

} // namespace
