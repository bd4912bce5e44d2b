#pragma once

// The skin slots the panel draws with; their colours come from skinQColor.

#include "skin/skinStyle.h"

constexpr int MenuSlot = 4;
constexpr int WindowSlot = 5;
constexpr int ButtonFaceSlot = 15;
constexpr int ButtonShadowSlot = 16;
constexpr int ButtonHighlightSlot = 20;
constexpr int DarkShadowSlot = 21;
