#pragma once

// How much memory the system can still give this process.

// The kernel's estimate of memory available for new work without swapping (MemAvailable), in
// bytes; -1 when it cannot be read.
long long availableMemoryBytes();
