#pragma once

// The plug-in's own window, run by the Start selector between reading the host image into
// sourceImage (and maskImage) and writing sourceImage back.

// Runs the window until the user closes it and leaves the image to hand back in sourceImage
// (same geometry and format). Returns true (failed) only when the window could not be created.
[[nodiscard]] bool runMainWindow();
