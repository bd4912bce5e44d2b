#pragma once

// The ids of the toolbar's items, kept in their object names ("button32805") for tests and
// screen-reader scripts: the commands' buttons, the zoom box's slot, the gap and the spacer.

constexpr int FocusCorrectionCommand = 32805; // Out of Focus Correction
constexpr int MotionCorrectionCommand = 32806; // Motion Correction
constexpr int ZoomInCommand = 32793;
constexpr int ZoomOutCommand = 32794;
constexpr int ZoomFitCommand = 32795;
constexpr int Zoom100Command = 32809;
constexpr int ZoomBoxCommand = 32810; // also the zoom box's id and its toolbar slot
constexpr int MenuCommand = 32811;
constexpr int SpacerCommand = 32812;
constexpr int GapCommand = 1;
