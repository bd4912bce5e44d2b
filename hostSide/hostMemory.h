#pragma once

// The stand-in's handles: blocks behind a master pointer, with lock counts so that tests can
// see that the module unlocks what it locks. Unlocking an unlocked handle is allowed, as hosts
// allow it.

#include "module/hostInterface.h"

#include <cstddef>
#include <vector>

extern HandleProcs hostHandleProcs;

struct HandleCounts {
    int live; // handles created and not disposed
    int locked; // handles whose lock count is above zero
    int lockCalls;
    int unlockCalls;
};

HandleCounts handleCounts();

// Bytes and size of a handle without locking it (for the host's own use).
char* handleContents(Handle handle);
std::size_t handleSize(Handle handle);

// A new handle holding `bytes`; null when the host has no memory.
Handle newHandleWith(const std::vector<char>& bytes);
