#pragma once

// The full job as the main window starts it on the panel's request (message 4270): what the
// worker thread reads and writes, and the request's two parameters.

#include "image/imageBuffer.h"

#include <cstdint>

class QObject;

struct JobRecord {
    ImageBuffer* source; // the window's work image: a copy of the input taken at the start
    ImageBuffer* target; // the window's result image
    std::uintptr_t wParam;
    std::intptr_t lParam; // the panel's detail value
};

// The body of the worker thread: runs the job and reports to `window` by messages (4247 sent,
// then 4266 or 4267 posted). It polls abortRequested and returns soon after it is set.
using JobRunner = void (*)(const JobRecord& job, QObject* window);

// Installs the worker's body (the deblur panel's job control); null starts no thread.
void setJobRunner(JobRunner runner);
JobRunner jobRunner();
