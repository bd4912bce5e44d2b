#pragma once

// The result of the engine's operations.
//
// The one success convention of the whole code: a status is 0 when the operation succeeded,
// and a function that only succeeds or fails returns a [[nodiscard]] bool that is true when it
// failed, so that calls chain (`if (buildKernel(...) || allocate(...)) return JobNotDone;`).
// Functions that answer a question (AbortToken::requested, jobFitsMemory) return true for yes.
enum [[nodiscard]] JobStatus : int {
    JobDone = 0,
    JobNotDone = 1, // bad sizes or formats, a kernel that does not fit, or memory exhausted
    JobAborted = 9, // the run's abort token was set when the operation ended
};
