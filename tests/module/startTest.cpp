#include "module/imageExchange.h"
#include "module/parameterKeys.h"
#include "tests/module/hostFixture.h"
#include "tests/support/testImages.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

using Start = HostFixture;

RunOptions scripted(int16 playInfo, double percent, int16 disposition, bool ignore)
{
    RunOptions options;
    options.scripted = true;
    options.playInfo = playInfo;
    options.percent = percent;
    options.disposition = disposition;
    options.ignoreSelection = ignore;
    return options;
}

TEST_F(Start, ParametersThenStartShowsTheWindowButARepeatWithPrepareAndStartDoesNot)
{
    EXPECT_EQ(runFilter(&session, {}), noErr);
    EXPECT_EQ(windowDouble.runs, 1);
    EXPECT_EQ(filterData()->queryForParameters, 0);
    EXPECT_EQ(runFilter(&session, {}), noErr); // both handles kept: no Parameters call
    EXPECT_EQ(windowDouble.runs, 1);
    RunOptions withOptions;
    withOptions.withOptions = true;
    EXPECT_EQ(runFilter(&session, withOptions), noErr);
    EXPECT_EQ(windowDouble.runs, 2);
}

TEST_F(Start, AScriptedRunWithoutTheDialogRunsNoWindowAndWritesNothing)
{
    fillHostPattern();
    const std::vector<std::uint8_t> pixels = image.pixels;
    const int liveHandles = handleCounts().live;
    EXPECT_EQ(runFilter(&session, scripted(plugInDialogDontDisplay, 42.9, 3, true)), noErr);
    EXPECT_EQ(windowDouble.runs, 0);
    EXPECT_EQ(session.advanceCalls, 0) << "no pixels were requested";
    EXPECT_EQ(image.pixels, pixels);
    // The scripted values were taken, and recorded again at Finish.
    EXPECT_EQ(parameters()->percent, 42);
    EXPECT_EQ(parameters()->disposition, 3);
    EXPECT_EQ(parameters()->ignoreSelection, 1);
    EXPECT_EQ(std::memcmp(filterData()->color, filterData()->colorArray[3], 4), 0);
    ASSERT_NE(findItem(session.recorded, keyAmount), nullptr);
    EXPECT_EQ(findItem(session.recorded, keyAmount)->number, 42.0);
    EXPECT_EQ(findItem(session.recorded, keyAmount)->code, unitPercent);
    EXPECT_TRUE(findItem(session.recorded, keyIgnoreSelection)->flag);
    // The host's descriptor was consumed and replaced by the recorded one: no handle leaked.
    EXPECT_EQ(handleCounts().live, liveHandles + 2 + 1);
}

TEST_F(Start, AScriptedRunWithTheDialogShowsTheWindow)
{
    EXPECT_EQ(runFilter(&session, scripted(plugInDialogDisplay, 5, 2, false)), noErr);
    EXPECT_EQ(windowDouble.runs, 1);
    EXPECT_EQ(parameters()->disposition, 2);
}

TEST_F(Start, AWindowThatCannotBeCreatedCancelsAndRestoresTheParameters)
{
    ASSERT_EQ(runFilter(&session, scripted(plugInDialogDontDisplay, 10, 0, false)), noErr);
    fillHostPattern();
    const std::vector<std::uint8_t> pixels = image.pixels;
    windowDouble.created = false;
    EXPECT_EQ(runFilter(&session, scripted(plugInDialogDisplay, 77, 2, true)), userCanceledErr);
    EXPECT_EQ(parameters()->percent, 10);
    EXPECT_EQ(parameters()->disposition, 0);
    EXPECT_EQ(parameters()->ignoreSelection, 0);
    EXPECT_EQ(image.pixels, pixels);
}

TEST_F(Start, RgbIsHeldAsBlueGreenRedAndWrittenBackInHostOrder)
{
    setHostSample(&image, 1, 2, 0, 10);
    setHostSample(&image, 1, 2, 1, 20);
    setHostSample(&image, 1, 2, 2, 30);
    windowDouble.whileOpen = [](StartImages* images) {
        ASSERT_EQ(images->source->channels, 3);
        ASSERT_EQ(images->source->bitsPerChannel, 8);
        EXPECT_EQ(sampleAt(images->source.get(), 1, 2, 0), 30);
        EXPECT_EQ(sampleAt(images->source.get(), 1, 2, 1), 20);
        EXPECT_EQ(sampleAt(images->source.get(), 1, 2, 2), 10);
        EXPECT_EQ(images->mask->data, nullptr);
        setSample(
            images->source.get(), 3, 0, 0, 1); // "the window" changes one pixel to BGR (1, 2, 3)
        setSample(images->source.get(), 3, 0, 1, 2);
        setSample(images->source.get(), 3, 0, 2, 3);
    };
    EXPECT_EQ(runFilter(&session, {}), noErr);
    EXPECT_EQ(hostSample(image, 1, 2, 0), 10);
    EXPECT_EQ(hostSample(image, 1, 2, 1), 20);
    EXPECT_EQ(hostSample(image, 1, 2, 2), 30);
    EXPECT_EQ(hostSample(image, 3, 0, 0), 3);
    EXPECT_EQ(hostSample(image, 3, 0, 2), 1);
}

// A transparency plane after the colours is split off into the mask image and never written back.
class TransparencySplit : public HostFixture, public ::testing::WithParamInterface<int> { };

TEST_P(TransparencySplit, YieldsColourAndMaskAndLeavesTheHostsTransparency)
{
    const int planes = GetParam();
    const int colors = planes - 1;
    useImage(5, 3, planes, 8);
    fillHostPattern();
    const HostImage original = image;
    windowDouble.whileOpen = [&](StartImages* images) {
        ASSERT_EQ(images->source->channels, colors);
        ASSERT_EQ(images->mask->channels, 1);
        ASSERT_EQ(images->mask->width, 5);
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(sampleAt(images->mask.get(), x, 1, 0), hostSample(original, x, 1, colors));
            EXPECT_EQ(
                sampleAt(images->source.get(), x, 1, 0), hostSample(original, x, 1, colors - 1));
        }
        fillImage(images->mask.get(), 0);
        fillImage(images->source.get(), 200);
    };
    EXPECT_EQ(runFilter(&session, {}), noErr);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            for (int c = 0; c < colors; ++c)
                EXPECT_EQ(hostSample(image, x, y, c), 200);
            EXPECT_EQ(hostSample(image, x, y, colors), hostSample(original, x, y, colors));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Planes, TransparencySplit, ::testing::Values(2, 4),
    [](const auto& info) { return info.param == 2 ? "grayAlpha" : "rgbAlpha"; });

TEST_F(Start, SixteenBitSamplesAreFullRangeInTheWindowAndComeBackUnchanged)
{
    useImage(16385, 2, 1, 16); // every host level at least once
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < image.width; ++x)
            setHostSample(&image, x, y, 0, std::min(x + y * image.width, HostWhite16));
    const std::vector<std::uint8_t> pixels = image.pixels;
    windowDouble.whileOpen = [](StartImages* images) {
        ASSERT_EQ(images->source->bitsPerChannel, 16);
        EXPECT_EQ(sampleAt(images->source.get(), 16383, 1, 0), 65535) << "the host's white";
        EXPECT_EQ(sampleAt(images->source.get(), 0, 0, 0), 0);
    };
    EXPECT_EQ(runFilter(&session, {}), noErr);
    EXPECT_EQ(image.pixels, pixels);
}

TEST_F(Start, SixteenBitWhiteRgbWithTransparencyComesBackWhite)
{
    useImage(3, 2, 4, 16);
    for (std::size_t i = 0; i < image.pixels.size() / 2; ++i)
        setHostSample(&image, int(i / 4) % 3, int(i / 12), int(i % 4), HostWhite16);
    const std::vector<std::uint8_t> pixels = image.pixels;
    EXPECT_EQ(runFilter(&session, {}), noErr);
    EXPECT_EQ(image.pixels, pixels);
}

TEST_F(Start, HostErrorsEndStartAndKeepTheHostsPixels)
{
    fillHostPattern();
    const std::vector<std::uint8_t> pixels = image.pixels;
    prepare();
    // The host refuses the read: no window, nothing written, the host's code comes back.
    static int calls;
    static int failingCall;
    session.record.advanceState = [] { return OSErr(++calls == failingCall ? -1 : noErr); };
    std::vector<std::uint8_t> hostIn = pixels;
    std::vector<std::uint8_t> hostOut = pixels;
    for (const int failing : {1, 2}) {
        calls = 0;
        failingCall = failing;
        windowDouble.runs = 0;
        windowDouble.whileOpen = [](StartImages* images) { fillImage(images->source.get(), 0); };
        filterData()->queryForParameters = 1;
        session.record.inData = hostIn.data();
        session.record.outData = hostOut.data();
        session.record.inRowBytes = session.record.outRowBytes = image.rowBytes;
        int16 result = noErr;
        PluginMain(filterSelectorStart, &session.record, &session.dataSlot, &result);
        EXPECT_EQ(result, -1) << failing;
        EXPECT_EQ(windowDouble.runs, failing - 1);
    }
    EXPECT_EQ(hostOut, pixels);
}

TEST_F(Start, ImagesThatCannotBeExchangedLeaveTheHostsPixelsAlone)
{
    // Five planes pass no enable expression: refused before any window runs.
    useImage(3, 2, 5, 8);
    fillHostPattern();
    std::vector<std::uint8_t> pixels = image.pixels;
    EXPECT_EQ(runFilter(&session, {}), filterBadMode);
    EXPECT_EQ(windowDouble.runs, 0);
    EXPECT_EQ(image.pixels, pixels);

    // A window that hands back an image of another size gets nothing written.
    useImage(3, 2, 3, 8);
    fillHostPattern();
    pixels = image.pixels;
    windowDouble.whileOpen = [](StartImages* images) {
        images->source = OwnedImage(2, 2, 3, 8);
        ASSERT_TRUE(images->source->data);
        fillImage(images->source.get(), 0);
    };
    RunOptions withOptions;
    withOptions.withOptions = true;
    EXPECT_EQ(runFilter(&session, withOptions), noErr);
    EXPECT_EQ(windowDouble.runs, 1);
    EXPECT_EQ(image.pixels, pixels);
}

TEST_F(Start, AnImageTooLargeForMemoryTransfersNothingAndReportsOutOfMemory)
{
    prepare();
    std::uint8_t tiny[16] = {};
    static std::uint8_t* hostBuffer;
    hostBuffer = tiny;
    session.record.imageSize = {30000, 30000};
    session.bigDocument.imageSize32 = {30000, 30000};
    session.record.planes = 3;
    session.record.depth = 16;
    session.record.advanceState = [] { return noErr; };
    session.record.inData = hostBuffer;
    session.record.outData = hostBuffer;
    session.record.inRowBytes = session.record.outRowBytes = 30000 * 3 * 2;
    int16 result = noErr;
    PluginMain(filterSelectorStart, &session.record, &session.dataSlot, &result);
    EXPECT_EQ(result, memFullErr);
    EXPECT_EQ(windowDouble.runs, 0);
}

TEST_F(Start, RequestsTheWholeImageThroughTheOfferedRectangles)
{
    useImage(6, 4, 3, 8);
    session.selectionMask = true;
    for (const bool big : {true, false}) {
        session.offerBigDocument = big;
        VRect in32 {};
        Rect in16 {};
        windowDouble.whileOpen = [&](StartImages*) {
            in32 = session.bigDocument.inRect32;
            in16 = session.record.inRect;
            EXPECT_EQ(session.record.inHiPlane, 2);
            EXPECT_EQ(session.record.inputRate, 0x10000);
        };
        RunOptions withOptions;
        withOptions.withOptions = true;
        ASSERT_EQ(runFilter(&session, withOptions), noErr);
        if (big) {
            EXPECT_EQ(in32.bottom, 4);
            EXPECT_EQ(in32.right, 6);
        } else {
            EXPECT_EQ(in16.bottom, 4);
            EXPECT_EQ(in16.right, 6);
        }
        session.bigDocument = {};
        session.record.inRect = {};
    }
}

} // namespace
