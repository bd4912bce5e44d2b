#pragma once

// Closing the filter's window from the host's side, as a user would, for scripts and tests that
// run the interactive filter without anyone at the screen.

#include <string>

// Makes the host's QApplication (when none exists and a display can be reached) and has every
// visible top-level window closed once `milliseconds` have passed, again and again until the
// application ends. With a `screenshot` path, the largest of them is first saved there as a
// picture (once). Returns true when no application can be made; nothing is then arranged.
[[nodiscard]] bool closeWindowsAfter(int milliseconds, const std::string& screenshot = {});

// Deletes the application closeWindowsAfter made, if it made one; call it once the filter module
// is done with its windows. Nothing of Qt may be used afterwards.
void endWindowCloser();
