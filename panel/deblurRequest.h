#pragma once

// What a preview or a full job reads, copied out of the panel when it starts: the choices, the
// motion line and the imported kernel. A worker owns its copy, so nothing the user edits
// meanwhile reaches a run in progress.

#include "engine/deblurParams.h"
#include "image/ownedImage.h"
#include "panel/motionLine.h"

#include <memory>

struct DeblurRequest {
    DeblurParams params; // method, power, noise, detail, mode; its kernel stays empty here
    MotionLine points; // motion mode
    std::shared_ptr<const OwnedImage> importedKernel; // null when the kernel is built
};

// The parameters a run reads, with their own kernel in `params`: a copy of the imported one, or
// the defocus spot of the level of details, or the motion line softened by `motionSpread`. True
// when no kernel could be made (fewer than two points, memory, or an abort while building);
// `params` is then not usable.
[[nodiscard]] bool buildRunParams(
    const DeblurRequest& request, double motionSpread, DeblurParams* params);
