#pragma once

// A person's run of the filter: the host loads the module and plays the selectors over a
// document with the filter's own window, as an editor does when the filter is chosen from its
// menu. The GIMP plug-in and morvanclarity-edit are hosts of this kind.

#include "hostSide/hostImage.h"

#include <string>

enum class ModuleRunStatus {
    Done, // the document holds the result
    Unchanged, // the window closed without a result: the filter ran, the document is as it was
    Failed,
    Cancelled, // the person cancelled the filter before its window opened
};

// Loads the module at `modulePath` and runs the filter with its window over `image`;
// `selection` says whether the document has a selection. Unless Done, the image is unchanged, and
// on Failed and Cancelled `message` says why.
[[nodiscard]] ModuleRunStatus runModuleWindow(
    const std::string& modulePath, HostImage* image, bool selection, std::string* message);
