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

// The request's kernel: the imported one, or the defocus spot of the level of details, or the
// motion line softened by `motionSpread`. Null when it cannot be built: fewer than two points,
// memory, or an abort while building.
std::shared_ptr<const OwnedImage> requestKernel(const DeblurRequest& request, double motionSpread);

// The request's parameters with `kernel` in them, for the engine to read; `kernel` keeps owning
// its pixels and must outlive the returned record's use.
DeblurParams paramsWithKernel(const DeblurRequest& request, const OwnedImage& kernel);
