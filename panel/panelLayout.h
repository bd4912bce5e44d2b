#pragma once

// The deblur panel's controls and where they go. Each control has a design rectangle in dialog
// units: the panel as it looks in English, and the least room the control takes. A control whose
// text needs more grows, pushing its neighbours on the same row to the right and the rows below
// it down, and the panel grows with them; the texts come from the language file, so the layout
// follows whatever language it holds.

#include <QSize>

class QWidget;

// Creates the panel's controls as children of `panel` at their design rectangles, each named
// "control<id>" (the ids of PanelControl), with the current interface texts.
void createPanelControls(QWidget* panel);

// Places the controls createPanelControls made so that every text fits, for both modes, and
// returns the panel's size. Call it once the controls have their style and font: they measure
// their texts with them.
QSize layOutPanelControls(QWidget* panel);
