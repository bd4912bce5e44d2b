#pragma once

// The plug-in's run without a window: the region's colour deblurred exactly as the batch tool
// deblurs a picture file with the same choices, alpha untouched.

#include "choices/deblurChoices.h"
#include "engine/progress.h"
#include "image/imageBuffer.h"

#include <string>

// Deblurs the colour samples of `region` (see regionPixels.h) in place. Returns true with a
// sentence in `message` when the job did not run to its end (too small a region, a kernel that
// cannot be built or does not fit, no memory, a stop through `abort`); the region is then
// unchanged.
[[nodiscard]] bool deblurRegion(ImageBuffer* region, bool alpha, const DeblurChoices& choices,
    const ProgressSink& progress, AbortToken abort, std::string* message);
