#pragma once

// Whether a full job fits in memory: what the engine says it needs for an image against what the
// system can give.

#include "image/imageBuffer.h"

// The most a job may use in a 32-bit process, whatever the system has: its address space.
constexpr long long AddressSpaceLimit = 1'600'000'000;

// Bytes a full job needs on `image` with method selection `method` (0 Progressive, 1 Smoothing):
// what the engine holds at once for the image, its method and mode, and the result beside it.
long long jobMemoryNeed(const ImageBuffer& image, int method, bool motionMode = false);

// Whether `need` fits in `available` bytes (negative: unknown, taken as enough). A 32-bit
// process is also held to AddressSpaceLimit; a 64-bit one is not.
bool jobFitsMemory(
    long long need, long long available, bool addressSpace32Bits = sizeof(void*) == 4);
