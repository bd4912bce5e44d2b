#include "skin/skinColors.h"

#include <gtest/gtest.h>

namespace {

// The table is process-wide: every test starts and ends without a scheme.
class SkinColors : public testing::Test {
protected:
    void SetUp() override { selectSkinScheme(0); }
    void TearDown() override { selectSkinScheme(0); }
};

TEST_F(SkinColors, WithoutSchemeEverySlotIsTheSystemColour)
{
    EXPECT_EQ(skinSchemeMode(), 0);
    for (int index = 0; index < SystemColorCount; ++index) {
        EXPECT_EQ(skinColor(index), systemColor(index)) << index;
        EXPECT_EQ(skinBrush(index), systemBrush(index)) << index;
    }
    EXPECT_EQ(skinColor(12), rgbColor(171, 171, 171));
}

TEST_F(SkinColors, DarkSchemeOverridesItsSlotsWithTheirOwnBrushes)
{
    selectSkinScheme(DarkScheme);
    EXPECT_EQ(skinSchemeMode(), DarkScheme);
    EXPECT_TRUE(isDarkScheme(skinSchemeMode()));
    struct {
        int index;
        bool overridden;
        std::uint32_t color;
    } const cases[] = {
        {12, true, 0x232323}, // the view's workspace
        {22, true, 0x000000}, // black is an override, not "none"
        {5, true, 0x414141},
        {28, true, 0x5F5F5F},
        {13, false, systemColor(13)},
        {29, false, systemColor(29)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(skinColor(c.index), c.color) << c.index;
        ASSERT_NE(skinBrush(c.index), nullptr);
        EXPECT_EQ(skinBrush(c.index)->color, c.color) << c.index;
        EXPECT_EQ(skinBrush(c.index) != systemBrush(c.index), c.overridden) << c.index;
    }
    int overrides = 0;
    for (int index = 0; index < SkinSlotCount; ++index)
        overrides += skinBrush(index) != systemBrush(index);
    EXPECT_EQ(overrides, 19);
}

TEST_F(SkinColors, IndicesBeyondTheTableGoToTheSystem)
{
    selectSkinScheme(DarkScheme);
    EXPECT_EQ(skinColor(30), systemColor(30));
    EXPECT_EQ(skinBrush(30), systemBrush(30));
    for (int index : {-1, 31, 1000}) {
        EXPECT_EQ(skinColor(index), 0u) << index;
        EXPECT_EQ(skinBrush(index), nullptr) << index;
    }
}

TEST_F(SkinColors, ReleaseRestoresTheSystemColoursAndKeepsTheMode)
{
    selectSkinScheme(DarkScheme);
    releaseSkin();
    for (int index = 0; index < SkinSlotCount; ++index)
        EXPECT_EQ(skinColor(index), systemColor(index)) << index;
    EXPECT_EQ(skinSchemeMode(), DarkScheme);

    selectSkinScheme(DarkScheme);
    selectSkinScheme(3); // dark, but with no table of its own
    EXPECT_EQ(skinColor(12), systemColor(12));
    EXPECT_TRUE(isDarkScheme(skinSchemeMode()));
    EXPECT_FALSE(isDarkScheme(0));
    EXPECT_FALSE(isDarkScheme(1));
}

} // namespace
