#pragma once

// Running the plug-in's window during the host's Start call.

#include "locale/localePaths.h"
#include "window/mainWindow.h"

class QWidget;

// Opens the main window on `images` and runs its event loop until the window is gone, the host's
// window (`hostWindow`, may be null) disabled meanwhile and enabled again after. A QApplication
// is made when the host has none and kept for the next call. At return the image to hand back is
// in images.sourceImage. True (failed) only when the window cannot be created (no display, no
// Widgets application, no memory for the canvas); sourceImage is then untouched.
[[nodiscard]] bool runMainWindowOn(
    WindowImages images, QWidget* hostWindow, const LocalePaths& paths = defaultLocalePaths());
