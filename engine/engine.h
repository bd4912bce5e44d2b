#pragma once

// The deblurring engine: Richardson-Lucy deconvolution on FFT tiles.
//
// All functions here: inputs are read-only; the caller allocates the target image; nothing is
// kept after return except FFT plans, which are cached per canvas size; no window code; threads
// are used inside and joined before return. Progress goes to the caller's ProgressSink, and
// the run's abort token (DeblurParams::abort) is polled between steps. Kernel builders return true
// when they failed.
//
// A typical job:
//     DeblurParams params;                      // method, power, noise, detail, mode
//     if (buildDefocusKernel(&params, defocusSpread(params.detail)))
//         return ...;                           // cannot build the kernel
//     JobStatus status = runDeblurJob(&target, &source, params, progress);
//     // params owns its kernel and frees it when it goes

#include "engine/abort.h"
#include "engine/deblurParams.h"
#include "engine/engineSettings.h"
#include "engine/jobDriver.h"
#include "engine/jobStatus.h"
#include "engine/pointSpread.h"
#include "engine/progress.h"
#include "image/motionPoint.h"
