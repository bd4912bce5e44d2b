#pragma once

// The batch tool on several photos: every input deblurred into one folder, one photo after
// another (or a few side by side), past bad files, with an overall progress line.

#include "cli/cliOptions.h"

[[nodiscard]] int runFolderCommand(const CliOptions& options);
