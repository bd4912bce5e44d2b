#pragma once

// The full job as the main window starts it on the panel's request (message 4270): what the
// worker thread reads and writes, where it reports, and the request's two parameters.

#include "image/imageBuffer.h"

#include <cstdint>

class QObject;

struct JobRecord {
    ImageBuffer* source; // the window's work image: a copy of the input taken at the start
    ImageBuffer* target; // the window's result image
    std::uintptr_t wParam;
    std::intptr_t lParam; // the panel's detail value
    QObject* panel; // receives the completion (4266 or 4267); may be null
    QObject* progress; // the panel's progress bar; may be null
};

// The body of the worker thread: runs the job and reports to `window` by messages (4247 sent,
// then 4266 or 4267 posted to the panel). It polls abortRequested and returns soon after it is
// set. Nothing it reads may change or be freed before it returns.
using JobRunner = void (*)(const JobRecord& job, QObject* window);

// The first parameter of a 4267 that reports a job the engine could not do, rather than an abort.
constexpr std::uintptr_t JobFailed = 1;

// The deblur panel's worker: runDeblurJob with deblurParams, progress to the progress bar by
// blocking sends, then the render and the completion.
void runFinalJob(const JobRecord& job, QObject* window);

// Replaces the worker's body (tests); null brings back runFinalJob.
void setJobRunner(JobRunner runner);
JobRunner jobRunner();
