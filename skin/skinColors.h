#pragma once

// The skin's colour table: 30 slots, one per system colour index 0 to 29, each holding an
// override colour or none, with one solid brush per overridden slot. Every custom drawing takes
// its colours through skinColor and skinBrush, so selecting a scheme recolours everything drawn
// afterwards.
//
// Process-wide state, used on the user-interface thread only.

#include "skin/systemColors.h"

#include <cstdint>

constexpr int SkinSlotCount = 30;
constexpr int DarkScheme = 2; // the scheme the product selects

// Deletes all brushes, resets every slot to none, fills the slots of scheme `mode` and creates
// one brush per overridden slot, then stores the mode. Only DarkScheme overrides slots; any other
// mode leaves every slot to the system colour.
void selectSkinScheme(int mode);

// Deletes all brushes and resets every slot to none. The scheme mode stays as it was. Every
// widget the skin hooked (applySkin) and still alive gets its previous style and palette back,
// through the release hook.
void releaseSkin();

// What releaseSkin calls before it clears the table. The widget hooking (applySkin.h) sets it
// when it hooks its first widget, so the colour table needs nothing of the widgets; null for
// none, the start.
using SkinReleaseHook = void (*)();
void setSkinReleaseHook(SkinReleaseHook hook);

// The scheme mode last selected; 0 before any selection.
int skinSchemeMode();

// Modes 2 and 3 count as dark.
bool isDarkScheme(int mode);

// The slot's override colour when it has one, else the system colour; indices outside the table
// go to the system directly. 0x00BBGGRR.
std::uint32_t skinColor(int index);

// The slot's brush when it has one, else the system's brush of that colour (null for indices
// the system has no colour for). A slot's brush stays valid until the next selectSkinScheme or
// releaseSkin.
const SolidBrush* skinBrush(int index);
