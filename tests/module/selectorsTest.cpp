#include "module/parameterKeys.h"
#include "tests/module/hostFixture.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

using Selectors = HostFixture;

TEST_F(Selectors, UnknownSelectorsChangeNothingButStillUnlockBothHandles)
{
    prepare();
    std::uint8_t before[sizeof(FilterRecord)];
    std::memcpy(before, &session.record, sizeof before);
    std::uint8_t data[FilterDataSize];
    std::memcpy(data, filterData(), FilterDataSize);
    for (const int16 selector : {int16(6), int16(-1)}) {
        const HandleCounts counts = handleCounts();
        int16 result = noErr;
        PluginMain(selector, &session.record, &session.dataSlot, &result);
        EXPECT_EQ(result, noErr);
        EXPECT_EQ(handleCounts().lockCalls, counts.lockCalls);
        EXPECT_EQ(handleCounts().unlockCalls, counts.unlockCalls + 2);
        EXPECT_EQ(std::memcmp(before, &session.record, sizeof before), 0);
        EXPECT_EQ(std::memcmp(data, filterData(), FilterDataSize), 0);
    }
}

TEST_F(Selectors, ParametersCreatesZeroedParametersAndInitialisesData)
{
    ASSERT_EQ(callSelector(&session, filterSelectorParameters), noErr);
    ASSERT_NE(session.record.parameters, nullptr);
    ASSERT_NE(session.dataSlot, 0);
    EXPECT_EQ(handleSize(session.record.parameters), 6u);
    EXPECT_EQ(handleSize(reinterpret_cast<Handle>(session.dataSlot)), 72u);
    EXPECT_EQ(parameters()->percent, 0);
    EXPECT_EQ(parameters()->disposition, 0);
    const FilterData* data = filterData();
    EXPECT_EQ(data->queryForParameters, 1);
    EXPECT_EQ(data->scaleFactor, 1.0f);
    const std::uint8_t expected[4][4] = {{255, 255, 255, 0}, {0, 0, 255, 0}, {255, 0, 0, 0},
        {0, 255, 0, 0}}; // background, blue, red, green: an RGB image needs no conversion
    EXPECT_EQ(std::memcmp(data->colorArray, expected, sizeof expected), 0);
    EXPECT_EQ(std::memcmp(data->color, expected[0], 4), 0);
}

TEST_F(Selectors, GrayImagesGetTheFixedColoursConvertedByTheHost)
{
    useImage(2, 2, 1, 8);
    ASSERT_EQ(callSelector(&session, filterSelectorParameters), noErr);
    // The stand-in's gray is (30 r + 59 g + 11 b) / 100.
    EXPECT_EQ(filterData()->colorArray[1][0], 28);
    EXPECT_EQ(filterData()->colorArray[2][1], 76);
    EXPECT_EQ(filterData()->colorArray[3][2], 150);
    EXPECT_EQ(filterData()->colorArray[0][0], 255) << "the background colour is not converted";
}

TEST_F(Selectors, MissingOrUncreatableHandlesAreReported)
{
    EXPECT_EQ(callSelector(&session, filterSelectorStart), filterBadParameters);
    EXPECT_EQ(callSelector(&session, filterSelectorFinish), filterBadParameters);

    HandleProcs failing = hostHandleProcs;
    failing.newProc = [](int32) -> Handle { return nullptr; };
    session.record.handleProcs = &failing;
    int16 result = noErr;
    session.record.parameters = nullptr;
    PluginMain(filterSelectorParameters, &session.record, &session.dataSlot, &result);
    EXPECT_EQ(result, memFullErr);
    EXPECT_EQ(session.dataSlot, 0);
}

TEST_F(Selectors, ContinueEmptiesAllThreeRectangles)
{
    for (const bool big : {false, true}) {
        session.offerBigDocument = big;
        session.record.inRect = session.record.outRect = session.record.maskRect = {1, 2, 3, 4};
        session.bigDocument.inRect32 = session.bigDocument.outRect32
            = session.bigDocument.maskRect32 = {1, 2, 3, 4};
        ASSERT_EQ(callSelector(&session, filterSelectorContinue), noErr);
        const VRect empty32 {0, 0, 0, 0};
        const VRect set32 {1, 2, 3, 4};
        const Rect empty16 {0, 0, 0, 0};
        const Rect set16 {1, 2, 3, 4};
        for (const VRect* rect : {&session.bigDocument.inRect32, &session.bigDocument.outRect32,
                 &session.bigDocument.maskRect32})
            EXPECT_EQ(std::memcmp(rect, big ? &empty32 : &set32, sizeof(VRect)), 0) << big;
        for (const Rect* rect :
            {&session.record.inRect, &session.record.outRect, &session.record.maskRect})
            EXPECT_EQ(std::memcmp(rect, big ? &set16 : &empty16, sizeof(Rect)), 0) << big;
        EXPECT_EQ(session.bigDocument.PluginUsing32BitCoordinates, big ? 1 : 0);
    }
}

TEST_F(Selectors, PrepareLimitsBufferMemoryToTwiceThePlanesOfTheFilterRectangle)
{
    useImage(100, 100, 3, 8);
    session.selectionMask = true; // one plane more
    ASSERT_EQ(callSelector(&session, filterSelectorPrepare), noErr);
    EXPECT_EQ(session.record.maxSpace, 80000);
    EXPECT_EQ(session.record.bufferSpace, 0);
    EXPECT_NE(session.record.parameters, nullptr) << "Prepare creates missing handles";
    EXPECT_EQ(filterData()->queryForParameters, 1);

    session.selectionMask = false;
    ASSERT_EQ(callSelector(&session, filterSelectorPrepare), noErr);
    EXPECT_EQ(session.record.maxSpace, 60000);

    // The 32-bit filter rectangle counts when it is offered; a smaller limit stays.
    for (const int32 maxSpace : {70000, 5000}) {
        session.record.maxSpace = maxSpace;
        session.record.filterRect = {0, 0, 1, 1};
        session.bigDocument.filterRect32 = {0, 0, 100, 100};
        session.bigDocument.PluginUsing32BitCoordinates = 0;
        int16 result = noErr;
        PluginMain(filterSelectorPrepare, &session.record, &session.dataSlot, &result);
        EXPECT_EQ(session.record.maxSpace, std::min(maxSpace, 60000));
    }
}

TEST_F(Selectors, DispositionSelectsItsColourAndIsScriptedWithOddValuesAsMoD1)
{
    const struct {
        int16 disposition;
        DescriptorEnumID scripted;
        int colour;
    } cases[] = {{0, enumMoD0, 0}, {1, enumMoD1, 1}, {2, enumMoD2, 2}, {3, enumMoD3, 3},
        {7, enumMoD1, 1}, {-1, enumMoD1, 1}, {4, enumMoD1, 1}};
    for (const auto& c : cases) {
        ASSERT_EQ(callSelector(&session, filterSelectorParameters), noErr);
        // Written into the host's block as if the host had kept any value there.
        parameters()->disposition = c.disposition;
        ASSERT_EQ(callSelector(&session, filterSelectorParameters), noErr);
        EXPECT_EQ(std::memcmp(filterData()->color, filterData()->colorArray[c.colour], 4), 0)
            << c.disposition;
        ASSERT_EQ(callSelector(&session, filterSelectorFinish), noErr);
        const HostDescriptor recorded
            = unflattenDescriptor(session.descriptorParameters.descriptor);
        const DescriptorItem* item = findItem(recorded, keyDisposition);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->enumValue, c.scripted) << c.disposition;
        EXPECT_EQ(item->code, typeMood);
        EXPECT_EQ(session.descriptorParameters.recordInfo, plugInDialogOptional);
    }
    EXPECT_EQ(dispositionOfEnum(fourCharCode("what")), 1);
    EXPECT_EQ(percentOfFloat(1e300), 32767);
    EXPECT_EQ(percentOfFloat(-12.9), -12);
    EXPECT_EQ(percentOfFloat(std::nan("")), 0);
}

} // namespace
