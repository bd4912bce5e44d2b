#pragma once

// The skin's colours as a Qt palette, for the standard widgets of the window and its dialogs.

class QWidget;

// Gives `widget` and its children the palette of the skin's current colour table.
void applySkinPalette(QWidget* widget);
