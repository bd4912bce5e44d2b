#include "skin/skinColors.h"

namespace {

struct Override {
    int index;
    std::uint32_t color;
};

// The dark scheme: greys for faces and backgrounds, light greys for text.
constexpr Override darkScheme[] = {
    {2, 0x6E6E6E}, // active caption
    {3, 0x5A5A5A}, // inactive caption
    {4, 0x505050}, // menu
    {5, 0x414141}, // window
    {8, 0xBEBEBE}, // window text
    {9, 0xBEBEBE}, // caption text
    {10, 0xEFEFEF}, // active border
    {11, 0xD2D2D2}, // inactive border
    {12, 0x232323}, // application workspace
    {15, 0x464646}, // button face
    {16, 0x373737}, // button shadow
    {17, 0xB4B4B4}, // grey text
    {18, 0xE6E6E6}, // button text
    {19, 0x9B9B9B}, // inactive caption text
    {20, 0x646464}, // button highlight
    {21, 0x323232}, // 3-D dark shadow
    {22, 0x000000}, // 3-D light
    {27, 0x3C3C3C}, // gradient active caption
    {28, 0x5F5F5F}, // gradient inactive caption
};

struct Slot {
    bool overridden;
    SolidBrush brush; // exists while `overridden`
};

Slot slots[SkinSlotCount];
int schemeMode = 0;
SkinReleaseHook releaseHook = nullptr;

const Slot* overriddenSlot(int index)
{
    if (index < 0 || index >= SkinSlotCount || !slots[index].overridden)
        return nullptr;
    return &slots[index];
}

void clearSlots()
{
    for (Slot& slot : slots)
        slot = Slot {};
}

} // namespace

void selectSkinScheme(int mode)
{
    clearSlots();
    if (mode == DarkScheme) {
        for (const Override& entry : darkScheme)
            slots[entry.index] = Slot {true, SolidBrush {entry.color}};
    }
    schemeMode = mode;
}

void releaseSkin()
{
    if (releaseHook)
        releaseHook();
    clearSlots();
}

void setSkinReleaseHook(SkinReleaseHook hook)
{
    releaseHook = hook;
}

int skinSchemeMode()
{
    return schemeMode;
}

bool isDarkScheme(int mode)
{
    return mode == 2 || mode == 3;
}

std::uint32_t skinColor(int index)
{
    const Slot* slot = overriddenSlot(index);
    return slot ? slot->brush.color : systemColor(index);
}

const SolidBrush* skinBrush(int index)
{
    const Slot* slot = overriddenSlot(index);
    return slot ? &slot->brush : systemBrush(index);
}
