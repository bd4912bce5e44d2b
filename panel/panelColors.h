#pragma once

// The skin's colour of a system colour slot as Qt takes it.

#include "skin/skinColors.h"

#include <QColor>

inline QColor slotColor(int slot)
{
    const std::uint32_t c = skinColor(slot); // 0x00BBGGRR
    return QColor(int(c & 0xFF), int(c >> 8 & 0xFF), int(c >> 16 & 0xFF));
}

// The slots the panel draws with.
constexpr int MenuSlot = 4;
constexpr int WindowSlot = 5;
constexpr int ButtonFaceSlot = 15;
constexpr int ButtonShadowSlot = 16;
constexpr int ButtonHighlightSlot = 20;
constexpr int DarkShadowSlot = 21;
