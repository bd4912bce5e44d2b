#pragma once

// Dialog units: the panel's layout is given in units of its font, a quarter of the average
// letter width across and an eighth of the letter height down, so that it keeps its proportions
// whatever the font and the screen.

#include <QFont>
#include <QRect>

struct DialogBaseUnits {
    int x; // the average width of the 52 letters A-Z a-z, rounded
    int y; // the font's height
};

// The dialog font: the application's sans-serif face at 8 points.
QFont dialogFont();

DialogBaseUnits dialogBaseUnits(const QFont& font);

// A rectangle in dialog units as pixels: x and width times base x / 4, y and height times
// base y / 8, each rounded.
QRect dialogRect(const DialogBaseUnits& units, int x, int y, int width, int height);
