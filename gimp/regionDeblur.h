#pragma once

// The plug-in's run without a window: the region's colour deblurred by the engine exactly as the
// batch tool deblurs a picture file with the same options, alpha untouched.

#include "engine/progress.h"
#include "image/imageBuffer.h"
#include "kernelOptions/kernelOptions.h"

#include <string>

// Deblurs the colour samples of `region` (see regionPixels.h) in place. Returns true with a
// sentence in `message` when the job did not run to its end (too small a region, a kernel that
// cannot be built or does not fit, no memory, an abort request); the region is then unchanged.
[[nodiscard]] bool deblurRegion(ImageBuffer* region, bool alpha, const KernelOptions& options,
    const ProgressSink& progress, std::string* message);
