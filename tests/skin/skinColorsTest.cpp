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

TEST_F(SkinColors, DarkSchemeOverridesItsNineteenSlots)
{
    selectSkinScheme(DarkScheme);
    const std::uint32_t expected[SkinSlotCount] = {0, 0, 0x6E6E6E, 0x5A5A5A, 0x505050, 0x414141, 0,
        0, 0xBEBEBE, 0xBEBEBE, 0xEFEFEF, 0xD2D2D2, 0x232323, 0, 0, 0x464646, 0x373737, 0xB4B4B4,
        0xE6E6E6, 0x9B9B9B, 0x646464, 0x323232, 0x000000, 0, 0, 0, 0, 0x3C3C3C, 0x5F5F5F, 0};
    const bool overridden[SkinSlotCount] = {false, false, true, true, true, true, false, false,
        true, true, true, true, true, false, false, true, true, true, true, true, true, true, true,
        false, false, false, false, true, true, false};
    for (int index = 0; index < SkinSlotCount; ++index) {
        const std::uint32_t colour = overridden[index] ? expected[index] : systemColor(index);
        EXPECT_EQ(skinColor(index), colour) << index;
        ASSERT_NE(skinBrush(index), nullptr);
        EXPECT_EQ(skinBrush(index)->color, colour) << index;
        EXPECT_EQ(skinBrush(index) != systemBrush(index), overridden[index]) << index;
    }
    EXPECT_EQ(skinSchemeMode(), DarkScheme);
    EXPECT_TRUE(isDarkScheme(skinSchemeMode()));
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
