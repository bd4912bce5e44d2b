#pragma once

// How much memory the system can still give without swapping: MemAvailable of /proc/meminfo.

// Bytes available, or -1 when the system does not say.
long long availableMemoryBytes();
