#pragma once

// The colour table's slots by what they colour: the system colour indices every custom drawing
// asks skinColor for.

constexpr int MenuSlot = 4;
constexpr int WindowSlot = 5;
constexpr int WindowTextSlot = 8;
constexpr int WorkspaceSlot = 12;
constexpr int HighlightSlot = 13;
constexpr int HighlightTextSlot = 14;
constexpr int ButtonFaceSlot = 15;
constexpr int ButtonShadowSlot = 16;
constexpr int GreyTextSlot = 17;
constexpr int ButtonTextSlot = 18;
constexpr int ButtonHighlightSlot = 20;
constexpr int DarkShadowSlot = 21;
constexpr int LightEdgeSlot = 22; // the "3-D light" slot: black in the dark scheme
constexpr int HotTrackSlot = 26;
