#pragma once

// The plug-in's own window, run by the Start selector between reading the host image and writing
// it back.

#include "module/imageExchange.h"
#include "module/pluginCall.h"

// Runs the window until the user closes it and leaves the image to hand back in images->source
// (same geometry and format). Returns true (failed) only when the window could not be created.
[[nodiscard]] bool runMainWindow(PluginCall& call, StartImages* images);
