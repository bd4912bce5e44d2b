#include "view/renderView.h"
#include "view/previewOutline.h"
#include "view/reducedCopy.h"
#include "view/resample.h"

#include "tests/support/testImages.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr int Workspace = 0x23; // the canvas outside the client area keeps this
constexpr ImageSize Client {200, 100};
constexpr ViewState Identity {0, 0, 0, 0, 1}; // window pixel (x, y) shows image point (x, y)

struct Bgr {
    int blue, green, red;
    bool operator==(const Bgr&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Bgr& c)
{
    return os << '(' << c.blue << ", " << c.green << ", " << c.red << ')';
}

constexpr Bgr Line {100, 250, 100};
constexpr Bgr Marker {100, 100, 250};
constexpr Bgr Selected {100, 250, 250};

class RenderView : public testing::Test {
protected:
    ViewCanvas canvas {};
    ImageView view {};
    std::vector<MotionPoint> points;

    void SetUp() override
    {
        ASSERT_FALSE(createCanvas(&canvas, Workspace));
        attachView(&view, &canvas);
        setResamplingMode(&view, NearestResampling);
    }
    void TearDown() override
    {
        detachView(&view);
        destroyCanvas(&canvas);
    }

    Bgr at(int x, int y) const
    {
        const ImageBuffer* pixels = &canvas.canvasPixels;
        return {sampleAt(pixels, x, y, 0), sampleAt(pixels, x, y, 1), sampleAt(pixels, x, y, 2)};
    }
    static Bgr gray(int level) { return {level, level, level}; }

    void setPoints(std::vector<MotionPoint> line)
    {
        points = std::move(line);
        view.points = points;
    }

    // Draws `image` in slot 2 with a rebuilt copy.
    bool render(const ImageBuffer* image, ViewState state = Identity,
        const ImageBuffer* overlay = nullptr, int slot = ResultSlot)
    {
        return renderView(&view, state, {Client, 0, image, slot, 1, overlay});
    }
};

// A change confined to a rectangle (a preview) brings the copy up to date there only, and the
// render that reuses it shows what a render with a rebuilt copy shows; an image of another size
// asks for the rebuild.
TEST_F(RenderView, ACopyRefreshedInARectangleDrawsAsARebuiltOne)
{
    OwnedImage image(300, 200, 3, 16);
    fillBytePattern(image.get(), 3);
    ASSERT_FALSE(render(image.get()));
    const ImageRect area {40, 30, 140, 90};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            for (int c = 0; c < 3; ++c)
                setSample(image.get(), x, y, c, 200 * 257);
    ASSERT_FALSE(refreshCopyArea(&view, ResultSlot, image.get(), area));
    ASSERT_FALSE(renderView(&view, Identity, {Client, 1, image.get(), ResultSlot, 1, nullptr}));
    std::vector<Bgr> refreshed;
    for (int y = 0; y < Client.height; ++y)
        for (int x = 0; x < Client.width; ++x)
            refreshed.push_back(at(x, y));
    ASSERT_FALSE(render(image.get()));
    std::vector<Bgr> rebuilt;
    for (int y = 0; y < Client.height; ++y)
        for (int x = 0; x < Client.width; ++x)
            rebuilt.push_back(at(x, y));
    EXPECT_EQ(refreshed[std::size_t(40 * Client.width + 50)], gray(200)); // inside the area
    EXPECT_TRUE(refreshed == rebuilt);

    OwnedImage other(301, 200, 3, 16);
    fillBytePattern(other.get(), 3);
    EXPECT_TRUE(refreshCopyArea(&view, ResultSlot, other.get(), area));
}

TEST_F(RenderView, ClientAsLargeAsTheCanvasIsDrawnCompletely)
{
    OwnedImage image(3100, 2100, 1, 8);
    fillBytePattern(image.get());
    const ViewState state {0, 0, 10.5, 20.5, 1};
    for (ImageSize client : {ImageSize {3000, 2000}, ImageSize {3500, 2600}}) {
        ASSERT_FALSE(renderView(&view, state, {client, 0, image.get(), ResultSlot, 1, nullptr}));
        int wrong = 0;
        for (int y = 0; y < 2000; ++y)
            for (int x = 0; x < 3000; ++x)
                wrong += at(x, y) != gray(sampleAt(image.get(), x + 10, y + 20, 0));
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(RenderView, BackgroundFollowsTheSchemeAndStopsAtTheClientArea)
{
    OwnedImage image(20, 10, 3, 8);
    fillImage(image.get(), 120);
    const ViewState centred {100, 50, 10, 5, 1};
    for (const bool dark : {false, true}) {
        view.darkScheme = dark;
        ASSERT_FALSE(render(image.get(), centred));
        EXPECT_EQ(at(5, 5), gray(dark ? 48 : 190)) << dark;
        EXPECT_EQ(at(100, 50), gray(120));
        EXPECT_EQ(at(200, 5), gray(Workspace));
        EXPECT_EQ(at(5, 100), gray(Workspace));
    }
}

TEST_F(RenderView, CopiesAreRebuiltOnlyWhenAsked)
{
    const ImageRect all {0, 0, 200, 100};
    // Nothing to show: cleared, nothing drawn.
    EXPECT_TRUE(renderView(&view, Identity, {Client, 1, nullptr, ResultSlot, 1, nullptr}));
    EXPECT_EQ(at(50, 50), gray(190));

    OwnedImage deep(300, 200, 1, 16);
    fillImage(deep.get(), 0x12);
    ASSERT_FALSE(render(deep.get())); // 16-bit gray becomes 8-bit, three equal channels
    EXPECT_EQ(at(50, 50), gray(0x12));
    EXPECT_EQ(view.resultCopy.channels, 3);
    EXPECT_EQ(view.inputCopy.data, nullptr);

    OwnedImage other(300, 200, 3, 8);
    fillImage(other.get(), 0x56);
    ASSERT_FALSE(renderView(&view, Identity, {Client, 1, other.get(), ResultSlot, 1, nullptr}));
    EXPECT_EQ(at(50, 50), gray(0x12)); // reused, the new image ignored

    fillImageRect(&canvas.canvasPixels, all, 9);
    ASSERT_FALSE(renderView(&view, Identity, {Client, 1, other.get(), ResultSlot, 0, nullptr}));
    EXPECT_EQ(at(50, 50), gray(9)); // draw 0 leaves the area but counts as drawn

    // Reuse without a copy, or a rebuild without an image: cleared, nothing drawn.
    EXPECT_TRUE(renderView(&view, Identity, {Client, 1, other.get(), InputSlot, 1, nullptr}));
    EXPECT_EQ(at(50, 50), gray(190));
    EXPECT_TRUE(renderView(&view, Identity, {Client, 0, nullptr, ResultSlot, 1, nullptr}));
    OwnedImage floats(30, 20, 1, 32); // no 8-bit form: the copy stays empty
    EXPECT_TRUE(render(floats.get()));
    EXPECT_EQ(view.resultCopy.data, nullptr);
}

TEST_F(RenderView, OverlayShowsTheCheckerboardWhereTransparent)
{
    OwnedImage image(60, 40, 3, 8);
    fillImage(image.get(), 100);
    OwnedImage overlay(60, 40, 1, 8);
    fillImage(overlay.get(), 255);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 30; ++x)
            setSample(overlay.get(), x, y, 0, 0);
        setSample(overlay.get(), 45, y, 0, 128);
    }
    const ViewState state {20, 10, 0.5, 0.5, 1}; // image column c at window column c + 20
    ASSERT_FALSE(render(image.get(), state, overlay.get()));
    EXPECT_EQ(at(25, 15), gray(190)); // squares (1, 1): same parity
    EXPECT_EQ(at(35, 15), gray(220)); // squares (2, 1)
    EXPECT_EQ(at(49, 30), gray(220)); // squares (3, 2)
    EXPECT_EQ(at(65, 30), gray((100 * 128 + 127 * 190) / 255)); // squares (4, 2)
    EXPECT_EQ(at(70, 30), gray(100)); // opaque: the image unchanged
    EXPECT_EQ(at(5, 5), gray(190)); // outside the image: background untouched
}

TEST_F(RenderView, OtherSlotClearsAndBlendsTheOverlayOnly)
{
    OwnedImage overlay(30, 30, 1, 8);
    fillImage(overlay.get(), 0);
    setPoints({{50, 50, 0}, {150, 50, 1}});
    view.previewRect = ImageRect {100, 10, 150, 90};
    EXPECT_TRUE(render(nullptr, {0, 0, -0.5, -0.5, 1}, overlay.get(), 3));
    EXPECT_EQ(at(16, 1), gray(220)); // the overlay's top row, squares (1, 0)
    EXPECT_EQ(at(45, 1), gray(190)); // squares (3, 0), but beyond the overlay: background
    EXPECT_EQ(at(50, 50), gray(190)); // no marker, no line
    EXPECT_EQ(at(100, 50), gray(190)); // no outline
    EXPECT_TRUE(view.screenPoints.empty());
}

TEST_F(RenderView, TwoPointsDrawAStraightLineOfTouchingPixels)
{
    OwnedImage image(4, 4, 3, 8);
    fillImage(image.get(), 0);
    setPoints({{20.2, 30.4, 0}, {60, 29.6, 1}});
    ASSERT_FALSE(render(image.get()));
    for (int x = 25; x <= 55; ++x) {
        EXPECT_EQ(at(x, 30), Line) << x;
        EXPECT_EQ(at(x, 29), gray(190)) << x;
        EXPECT_EQ(at(x, 31), gray(190)) << x;
    }
    EXPECT_EQ(at(16, 26), Marker);
    EXPECT_EQ(at(20, 30), Line); // the inner 5 x 5 of a marker is left as it was
    EXPECT_EQ(at(64, 34), Selected);

    setPoints({{10, 10, 0}, {50, 31, 0}});
    ASSERT_FALSE(render(image.get()));
    for (int x = 15; x <= 45; ++x) {
        std::vector<int> rows;
        for (int y = 0; y < 100; ++y)
            if (at(x, y) == Line)
                rows.push_back(y);
        ASSERT_FALSE(rows.empty()) << x;
        EXPECT_NEAR(rows.front(), 10 + (x - 10) * 21.0 / 40, 1) << x;
        EXPECT_LE(rows.back() - rows.front(), 1) << x;
    }
}

TEST_F(RenderView, MarkersAtTheWindowEdgeAreClippedNotWrapped)
{
    OwnedImage image(4, 4, 3, 8);
    fillImage(image.get(), 0);
    setPoints({{1, 1, 1}, {198, 98, 0}});
    view.lineHidden = true;
    ASSERT_FALSE(render(image.get())); // an imported PSF hides the motion line
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            ASSERT_TRUE(at(x, y) == gray(190) || at(x, y) == gray(0)) << x << ", " << y;
    EXPECT_TRUE(view.screenPoints.empty());

    view.lineHidden = false;
    ASSERT_FALSE(render(image.get()));
    EXPECT_EQ(at(4, 0), Selected);
    EXPECT_EQ(at(0, 5), Selected);
    EXPECT_EQ(at(199, 94), Marker);
    for (int y = 0; y < 100; ++y) {
        EXPECT_EQ(at(2999, y), gray(Workspace)) << y; // a wrap would land at the row's end
        for (int x = 200; x < 205; ++x)
            EXPECT_EQ(at(x, y), gray(Workspace)) << x << ", " << y;
    }
    EXPECT_EQ(at(199, 100), gray(Workspace));
}

TEST_F(RenderView, PreviewOutlineDrawnTwiceRestoresTheCanvas)
{
    OwnedImage image(300, 200, 3, 8);
    fillBytePattern(image.get());
    ASSERT_FALSE(render(image.get()));
    const std::vector<std::uint8_t> plain = imageBytes(&canvas.canvasPixels);
    const auto changedAt = [&](int x, int y) {
        return canvas.canvasPixels.data[y * 9000 + x * 3] != plain[y * 9000 + x * 3];
    };

    view.previewRect = ImageRect {10, 10, 40, 30};
    const RenderRequest overdraw {Client, 1, image.get(), ResultSlot, 0, nullptr};
    ASSERT_FALSE(renderView(&view, Identity, overdraw));
    for (auto [x, y] : {std::pair {10, 10}, {11, 20}, {39, 20}, {40, 30}, {25, 11}, {25, 29}})
        EXPECT_TRUE(changedAt(x, y)) << x << ", " << y;
    for (auto [x, y] : {std::pair {12, 20}, {38, 20}, {25, 12}, {25, 28}, {9, 20}, {41, 20}})
        EXPECT_FALSE(changedAt(x, y)) << x << ", " << y;
    const std::vector<std::uint8_t> once = imageBytes(&canvas.canvasPixels);
    int changed = 0;
    for (std::size_t i = 0; i < once.size(); ++i)
        changed += once[i] != plain[i];
    EXPECT_EQ(changed, 3 * (4 * 27 + 4 * 21)); // rows 10, 11, 29, 30 and columns 10, 11, 39, 40

    ASSERT_FALSE(renderView(&view, Identity, overdraw));
    EXPECT_EQ(imageBytes(&canvas.canvasPixels), plain);
}

TEST(PreviewOutline, RectanglePartlyOutsideDrawsItsVisibleEdgesOnly)
{
    OwnedImage target(50, 40, 3, 8);
    fillImage(target.get(), 0);
    invertPreviewOutline(target.get(), -10, -10, 20, 20);
    EXPECT_EQ(sampleAt(target.get(), 20, 5, 0), 255); // right edge
    EXPECT_EQ(sampleAt(target.get(), 19, 5, 0), 255);
    EXPECT_EQ(sampleAt(target.get(), 18, 5, 0), 0);
    EXPECT_EQ(sampleAt(target.get(), 5, 20, 0), 255); // bottom edge
    EXPECT_EQ(sampleAt(target.get(), 0, 5, 0), 0); // the left edge is out of sight
    invertPreviewOutline(target.get(), -2000000000, 5, 2000000000, 2000000000);
    EXPECT_EQ(sampleAt(target.get(), 30, 5, 0), 255); // top edge of a huge rectangle
    EXPECT_EQ(sampleAt(target.get(), 30, 6, 0), 255);
}

TEST_F(RenderView, ScreenPointsFollowTheViewAndAreFreedWithThePoints)
{
    setPoints({{10.3, -0.85, 1}, {-2.3, 4, 0}, {2e9, -2e9, 0}});
    updateScreenPoints(&view, {0, 0, 0, 0, 2});
    ASSERT_EQ(view.screenPoints.size(), 3u);
    EXPECT_EQ(view.screenPoints[0].x, 21); // 20.6 + 0.5 truncated
    EXPECT_EQ(view.screenPoints[0].y, -1); // -1.7 + 0.5 truncated toward zero
    EXPECT_EQ(view.screenPoints[0].selected, 1);
    EXPECT_EQ(view.screenPoints[1].x, -4);
    EXPECT_EQ(view.screenPoints[2].x, 2147483647);
    EXPECT_EQ(view.screenPoints[2].y, -2147483647 - 1);

    // At a huge zoom the line runs billions of pixels outside the window; only what shows is
    // walked.
    OwnedImage image(4, 4, 3, 8);
    fillImage(image.get(), 0);
    setPoints({{-1000, 0, 0}, {1000, 0, 0}});
    ASSERT_FALSE(render(image.get(), {100, 50, 0, 0, 1e6}));
    for (int x = 0; x < 200; ++x)
        ASSERT_EQ(at(x, 50), Line) << x;

    setPoints({});
    updateScreenPoints(&view, Identity);
    EXPECT_TRUE(view.screenPoints.empty());
}

} // namespace

// A panorama wider than the resamplers address is drawn from a reduced copy: every window pixel
// shows the same image point as at full size, averaged over the reduction's block.
TEST_F(RenderView, ImagesBeyondTheFixedPointRangeAreDrawnReduced)
{
    EXPECT_EQ(viewReductionFactor(32767, 100), 1);
    EXPECT_EQ(viewReductionFactor(32768, 100), 2);
    EXPECT_EQ(viewReductionFactor(100, 70000), 3);

    OwnedImage wide(40000, 4, 3, 8);
    fillImage(wide.get(), 40);
    // The right half is bright, so the position of the edge tells where the image lands.
    fillImageRect(wide.get(), ImageRect {20000, 0, 40000, 4}, 200);
    OwnedImage opaque(40000, 4, 1, 8);
    fillImage(opaque.get(), 255);
    const ViewState atTheEdge {100, 50, 20000, 2, 5};
    ASSERT_FALSE(render(wide.get(), atTheEdge, opaque.get()));
    EXPECT_EQ(view.resultCopyFactor, 2);
    EXPECT_EQ(view.resultCopy.width, 20000);
    EXPECT_EQ(view.overlayCopyFactor, 2);
    EXPECT_EQ(at(50, 50), gray(40)); // an opaque overlay leaves the image as it is
    EXPECT_EQ(at(150, 50), gray(200));
    EXPECT_EQ(at(50, 70), gray(190)); // below the image: the background

    // Images within the range keep full-size copies.
    OwnedImage small(300, 200, 3, 8);
    fillBytePattern(small.get());
    ASSERT_FALSE(render(small.get()));
    EXPECT_EQ(view.resultCopyFactor, 1);
    EXPECT_EQ(at(7, 9),
        (Bgr {sampleAt(small.get(), 7, 9, 0), sampleAt(small.get(), 7, 9, 1),
            sampleAt(small.get(), 7, 9, 2)}));
}
