#pragma once

// The main window's command numbers: menu items, toolbar buttons, accelerators.

constexpr int AboutCommand = 104;
constexpr int ExitCommand = 105;
constexpr int FocusCorrectionCommand = 32805; // Out of Focus Correction
constexpr int MotionCorrectionCommand = 32806; // Motion Correction
constexpr int OptionsCommand = 32813;
constexpr int ZoomInCommand = 32793;
constexpr int ZoomOutCommand = 32794;
constexpr int ZoomFitCommand = 32795;
constexpr int PanLeftCommand = 32797;
constexpr int PanRightCommand = 32798;
constexpr int PanUpCommand = 32801;
constexpr int PanDownCommand = 32802;
constexpr int Zoom100Command = 32809;
constexpr int ZoomBoxCommand = 32810; // also the zoom box's id and its toolbar slot
constexpr int MenuCommand = 32811;
constexpr int SpacerCommand = 32812;
constexpr int GapCommand = 1;

constexpr int ToolbarId = 109;
constexpr int PanStep = 50; // pixels per arrow key
