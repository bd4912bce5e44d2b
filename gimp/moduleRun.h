#pragma once

// The plug-in's interactive run: it is the host of the filter module and plays the selectors
// over the region through the host side the stand-in uses, so the module's own window opens
// over the region's pixels.

#include "hostSide/moduleWindowRun.h"
#include "image/imageBuffer.h"

#include <string>

// Loads the module at `modulePath` and runs the filter with its dialog over the region (see
// regionPixels.h); `selection` says whether the image has a selection. On Done the region's
// colour samples hold the result; otherwise the region is unchanged and `message` says why.
[[nodiscard]] ModuleRunStatus runModuleOnRegion(const std::string& modulePath, ImageBuffer* region,
    bool alpha, bool selection, std::string* message);
