#pragma once

// What the deblur panel keeps beside its controls: the parameters the engine reads and the state
// of the mouse over the image, which the main window reads to decide whether a mouse event is
// the panel's. One of each per process, used on the user-interface thread only, except for
// `deblurParams`, which a running job reads (and nothing changes meanwhile).

#include "engine/deblurParams.h"
#include "image/imageBuffer.h"

#include <cstdint>

// The combo-box selections seen last; this value stands for "none seen yet".
constexpr int NoSelectionSeen = 5;

enum PanelMouseMode {
    NoMouseDrag = 0,
    DraggingPreviewRect = 1,
    DraggingPoint = 2,
};

struct PanelState {
    bool panelOpen = false; // from the panel's start until OK or Cancel is handled
    int panelMouseMode = NoMouseDrag;
    int hotPoint = -1; // the motion-line point under the cursor, or -1
    bool previewRectHover = false; // over the preview rectangle (Preview on) or dragging it
    bool closing = false; // the panel is closing or its job runs: mouse input is ignored
    bool resultReady = false; // the full job has finished with a result
    bool pointMenuOpen = false; // the point's Duplicate / Delete menu is up
    int methodSelection = NoSelectionSeen;
    int powerSelection = NoSelectionSeen;
    int noiseSelection = NoSelectionSeen;
    ImagePoint dragAnchor {0, 0}; // client pixels, while the preview rectangle is dragged
    std::uint32_t lastInsertionTick = 0; // milliseconds, of the last point insertion or drag step
};

extern PanelState panelState;
extern DeblurParams deblurParams;
