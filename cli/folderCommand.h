#pragma once

// The batch tool on several photos: every input deblurred into one folder, one photo after
// another (or a few side by side), past bad files, with an overall progress line.

#include "cli/cliOptions.h"

[[nodiscard]] int runFolderCommand(const CliOptions& options);

// The output path for `input` in `folder`: NAME + suffix + the input's extension, or .png when
// the tool does not write the input's format.
std::string folderOutputPath(
    const std::string& input, const std::string& folder, const std::string& suffix);
