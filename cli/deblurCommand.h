#pragma once

// The batch tool's two jobs: deblur a photograph, and write the point-spread function as a
// picture. Each reports problems as one line on standard error and returns the exit status.

#include "cli/cliOptions.h"

[[nodiscard]] int runDeblurCommand(const CliOptions& options);
[[nodiscard]] int runKernelCommand(const CliOptions& options);
