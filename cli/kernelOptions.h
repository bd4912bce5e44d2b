#pragma once

// What the batch tool and the GIMP plug-in share to deblur the same way from the same choices:
// the kernel built from the options, and the engine set up for a job without a window.

#include "cli/cliOptions.h"
#include "engine/deblurParams.h"

#include <string>

// Fills params (choices and kernel) as the options say: the kernel from the PSF picture when
// one is named, else the motion path or the defocus spot. Returns true when no kernel could be
// made, with a sentence in `reason` that names the PSF picture where it was the cause.
[[nodiscard]] bool buildKernelFromOptions(
    const CliOptions& options, DeblurParams* params, std::string* reason);

// Measured FFT plans, kept beside the settings between runs: every later transform of a size is
// faster, and two programs that share the settings folder plan (and so round) alike.
void configureEngineForBatch();
