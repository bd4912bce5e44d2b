#include "view/viewCanvas.h"

#include <gtest/gtest.h>

namespace {

TEST(ViewCanvas, CreateDescribesTheFullCanvasFilledWithTheWorkspaceColour)
{
    ViewCanvas canvas {};
    ASSERT_FALSE(createCanvas(&canvas, 0x00ABCD23));
    const ImageBuffer& pixels = canvas.canvasPixels;
    ASSERT_NE(pixels.data, nullptr);
    EXPECT_EQ(pixels.width, 3000);
    EXPECT_EQ(pixels.height, 2000);
    EXPECT_EQ(pixels.channels, 3);
    EXPECT_EQ(pixels.bitsPerChannel, 8);
    EXPECT_EQ(pixels.stride, 9000);
    EXPECT_EQ(pixels.dataSize, 18000000);
    int wrong = 0;
    for (std::int32_t i = 0; i < pixels.dataSize; ++i)
        wrong += pixels.data[i] != 0x23;
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(canvas.inputImage.data, nullptr);
    EXPECT_EQ(canvas.overlayImage.data, nullptr);

    ASSERT_EQ(allocateImage(&canvas.resultImage, 5, 5, 3, 8), 0);
    destroyCanvas(&canvas); // releases the window's images too
    EXPECT_EQ(canvas.canvasPixels.data, nullptr);
    EXPECT_EQ(canvas.resultImage.data, nullptr);
}

struct CopyLog {
    int calls = 0;
    ImageRect rect {};
    bool fail = false;
};

bool logCopy(void* context, const ImageBuffer* pixels, ImageRect rect)
{
    auto* log = static_cast<CopyLog*>(context);
    ++log->calls;
    log->rect = rect;
    return log->fail || pixels->width != 3000;
}

TEST(ViewCanvas, BlitClipsTheRectangleToTheCanvas)
{
    ViewCanvas canvas {};
    CopyLog log;
    EXPECT_EQ(blitCanvas(&canvas, {0, 0, 10, 10}, logCopy, &log), BlitNoCanvas);
    ASSERT_FALSE(createCanvas(&canvas, 0));
    struct {
        ImageRect rect;
        bool fail;
        int code;
        int copiedRight;
        int copiedBottom;
    } const cases[] = {
        {{0, 0, 3000, 2000}, false, BlitDone, 3000, 2000},
        {{2990, 1990, 3000, 2000}, false, BlitDone, 3000, 2000},
        // A window larger than the canvas still gets the canvas's part.
        {{0, 0, 3001, 10}, false, BlitDone, 3000, 10},
        {{-5, 0, 10, 3840}, false, BlitDone, 10, 2000},
        {{3000, 0, 3840, 10}, false, BlitOutsideCanvas, 0, 0},
        {{5, 6, 70, 80}, true, BlitCopyFailed, 70, 80},
    };
    for (const auto& c : cases) {
        log = CopyLog {0, {}, c.fail};
        EXPECT_EQ(blitCanvas(&canvas, c.rect, logCopy, &log), c.code) << c.rect.right;
        EXPECT_EQ(log.calls, c.code == BlitOutsideCanvas ? 0 : 1);
        if (log.calls) {
            EXPECT_GE(log.rect.left, 0);
            EXPECT_EQ(log.rect.right, c.copiedRight);
            EXPECT_EQ(log.rect.bottom, c.copiedBottom);
        }
    }
    destroyCanvas(&canvas);
    EXPECT_EQ(blitCanvas(&canvas, {0, 0, 10, 10}, logCopy, &log), BlitNoCanvas);
}

TEST(ViewCanvas, CoversAScreenLargerThanTheSmallestCanvas)
{
    ViewCanvas canvas {};
    ASSERT_FALSE(createCanvas(&canvas, 0, {3840, 1600}));
    EXPECT_EQ(canvas.width, 3840);
    EXPECT_EQ(canvas.height, 2000);
    EXPECT_EQ(canvas.canvasPixels.width, 3840);
    EXPECT_EQ(canvas.canvasPixels.height, 2000);
    destroyCanvas(&canvas);
}

} // namespace
