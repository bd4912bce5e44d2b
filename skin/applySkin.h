#pragma once

// The dark skin on Qt widgets: the colour table feeds the palette of a window tree.

class QWidget;

// Skins `window` and its descendants in the selected scheme's colours.
void applySkin(QWidget* window);
