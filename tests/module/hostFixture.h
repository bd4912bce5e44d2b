#pragma once

// A host stand-in session around the module's PluginMain, linked in, with the window double.

#include "hostSide/hostMemory.h"
#include "hostSide/hostSession.h"
#include "module/pluginRecords.h"
#include "tests/module/windowDouble.h"

#include <gtest/gtest.h>

class HostFixture : public ::testing::Test {
protected:
    HostImage image;
    HostSession session;

    void SetUp() override
    {
        windowDouble = WindowDouble {};
        allocateHostImage(&image, 4, 3, 3, 8);
        openSession(&session, &PluginMain, &image);
    }
    void TearDown() override
    {
        closeSession(&session);
        EXPECT_EQ(handleCounts().locked, 0) << "a handle was left locked";
    }

    void useImage(int width, int height, int planes, int depth)
    {
        allocateHostImage(&image, width, height, planes, depth);
    }
    FilterParameters* parameters()
    {
        return reinterpret_cast<FilterParameters*>(handleContents(session.record.parameters));
    }
    FilterData* filterData()
    {
        return reinterpret_cast<FilterData*>(
            handleContents(reinterpret_cast<Handle>(session.dataSlot)));
    }
    // Every sample a different value (within the host's 16-bit range).
    void fillHostPattern()
    {
        const int levels = image.depth == 16 ? HostWhite16 + 1 : 256;
        int value = 11;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                for (int plane = 0; plane < image.planes; ++plane, value += 37)
                    setHostSample(&image, x, y, plane, value % levels);
    }
    // Parameters and Prepare, as before a Start.
    void prepare()
    {
        ASSERT_EQ(callSelector(&session, filterSelectorParameters), noErr);
        ASSERT_EQ(callSelector(&session, filterSelectorPrepare), noErr);
    }
};
