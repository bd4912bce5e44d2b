#pragma once

// The result of the engine's operations.
enum [[nodiscard]] JobStatus : int {
    JobDone = 0,
    JobNotDone = 1, // bad sizes or formats, a kernel that does not fit, or memory exhausted
    JobAborted = 9, // abortRequested was set when the operation ended
};
