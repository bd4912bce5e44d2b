#pragma once

// The batch tool's two jobs: deblur a photograph, and write the point-spread function as a
// picture. Each reports problems as one line on standard error and returns the exit status.

#include "cli/cliOptions.h"
#include "pictureFiles/photoFile.h"

[[nodiscard]] int runDeblurCommand(const CliOptions& options);

// Reads the input photograph; a problem is said on standard error and gives its exit status
// (ExitSuccess when read).
[[nodiscard]] int readInputPhoto(const std::string& path, Photo* photo);
[[nodiscard]] int runKernelCommand(const CliOptions& options);

// The termination signals (Ctrl-C, SIGTERM, SIGHUP) request a stop from now on; the status a
// stop ends a run with (128 + the signal), or 0 when none came; and a fresh start, with no stop
// pending.
void catchStopSignals();
int pendingStopStatus();
void forgetStopSignals();
