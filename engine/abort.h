#pragma once

// A run's own request to stop. Whoever starts a run (a job, a preview, an estimate) owns an
// AbortFlag and hands the engine a token for it; the engine polls the token between steps with
// relaxed loads, so a late view of a new value only delays the stop. Runs never share a flag:
// stopping a preview cannot stop a job, and nothing has to be cleared in the right order.

#include <atomic>
#include <cstdint>

using AbortFlag = std::atomic<std::uint8_t>;

class AbortToken {
public:
    // A token that is never set: the run goes to its end.
    constexpr AbortToken() = default;
    // NOLINTNEXTLINE(google-explicit-constructor): a flag's address reads as its token.
    constexpr AbortToken(const AbortFlag* flag)
        : flag(flag)
    {
    }

    bool requested() const { return flag != nullptr && flag->load(std::memory_order_relaxed) != 0; }

private:
    const AbortFlag* flag = nullptr;
};

// Lock-free stores: safe in a signal handler.
inline void requestAbort(AbortFlag& flag)
{
    flag.store(1, std::memory_order_relaxed);
}
inline void clearAbort(AbortFlag& flag)
{
    flag.store(0, std::memory_order_relaxed);
}
