#pragma once

// The process-wide request to stop the running job or preview. One thread sets it, the engine
// polls it between steps; a late view of a new value only delays the stop.

#include <atomic>
#include <cstdint>

extern std::atomic<std::uint8_t> abortRequested;

inline bool isAbortRequested()
{
    return abortRequested.load(std::memory_order_relaxed) != 0;
}
inline void requestAbort()
{
    abortRequested.store(1, std::memory_order_relaxed);
}
inline void clearAbortRequest()
{
    abortRequested.store(0, std::memory_order_relaxed);
}
