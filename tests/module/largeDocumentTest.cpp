#include "module/imageExchange.h"
#include "tests/module/hostFixture.h"
#include "tests/support/testImages.h"

#include <vector>

namespace {

// Documents wider than the 16-bit fields can say. Kept to one or two rows of 8-bit gray so that
// they stay small.
class LargeDocument : public HostFixture, public ::testing::WithParamInterface<int> {
protected:
    void useWideGray(int width, int height)
    {
        useImage(width, height, 1, 8);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                setHostSample(&image, x, y, 0, (x * 7 + y * 13) % 251);
    }
};

TEST_P(LargeDocument, TravelsWholeThroughTheBigDocumentFields)
{
    const int width = GetParam();
    const int height = width > 65536 ? 1 : 2;
    useWideGray(width, height);
    const HostImage original = image;
    windowDouble.whileOpen = [&](StartImages* images) {
        ASSERT_EQ(images->source->width, width);
        ASSERT_EQ(images->source->height, height);
        EXPECT_EQ(sampleAt(images->source.get(), width - 1, height - 1, 0),
            hostSample(original, width - 1, height - 1, 0));
        // The 16-bit fields the module ignores hold the largest size they can, never a wrapped
        // one.
        EXPECT_EQ(session.record.imageSize.h, 32767);
        EXPECT_EQ(session.record.filterRect.right, 32767);
        setSample(images->source.get(), width - 1, height - 1, 0, 255);
        setSample(images->source.get(), 40, 0, 0, 254);
    };
    EXPECT_EQ(runFilter(&session, {}), noErr);
    EXPECT_EQ(windowDouble.runs, 1);
    EXPECT_EQ(hostSample(image, width - 1, height - 1, 0), 255);
    EXPECT_EQ(hostSample(image, 40, 0, 0), 254);
    EXPECT_EQ(hostSample(image, width / 2, 0, 0), hostSample(original, width / 2, 0, 0));
}

// Without the big-document fields the module cannot know the size: the run is refused before the
// window, and the document is left as it was.
TEST_P(LargeDocument, IsRefusedWhenTheHostOffersOnlySixteenBitFields)
{
    const int width = GetParam();
    useWideGray(width, 1);
    const std::vector<std::uint8_t> pixels = image.pixels;
    session.offerBigDocument = false;
    EXPECT_EQ(runFilter(&session, {}), filterBadMode);
    EXPECT_EQ(windowDouble.runs, 0);
    EXPECT_EQ(image.pixels, pixels);
}

// 32768 wraps to a negative 16-bit value, 131077 to a plausible 5.
INSTANTIATE_TEST_SUITE_P(Widths, LargeDocument, ::testing::Values(32768, 40000, 131077));

using Exchange = HostFixture;

TEST_F(Exchange, SixteenBitSizesFromAWrappingHostAreRefused)
{
    prepare();
    static std::uint8_t hostBuffer[16];
    session.record.bigDocumentData = nullptr;
    session.record.imageSize = {1, -32768};
    session.record.planes = 1;
    session.record.advanceState = [] { return noErr; };
    session.record.inData = session.record.outData = hostBuffer;
    session.record.inRowBytes = session.record.outRowBytes = 1;
    int16 result = noErr;
    PluginMain(filterSelectorStart, &session.record, &session.dataSlot, &result);
    EXPECT_EQ(result, filterBadMode);
    EXPECT_EQ(windowDouble.runs, 0);
}

} // namespace
