#pragma once

// The batch tool's estimate command: finds the blur of a photograph and prints the deblur
// options that undo it on standard output, the confidence on standard error.

#include "cli/cliOptions.h"

[[nodiscard]] int runEstimateCommand(const CliOptions& options);
