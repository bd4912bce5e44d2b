#pragma once

// A thread that computes the newest of the requests handed to it: a request that arrives while
// another computes aborts that one through the thread's own abort flag, and only the newest
// request's outcome is ever delivered. The previews and the blur estimates each run on one. The
// asking thread never waits for a computation, except in stop() and on destruction.

#include "engine/abort.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

template <typename Request, typename Outcome> class NewestRequestThread {
public:
    using Compute = std::function<Outcome(const Request& request, AbortToken abort)>;
    // Called on the thread with the outcome of a request still wanted (none came after it).
    using Deliver = std::function<void(Outcome outcome)>;

    NewestRequestThread(Compute compute, Deliver deliver)
        : compute(std::move(compute))
        , deliver(std::move(deliver))
    {
    }
    // Aborts what computes and waits for the thread's end.
    ~NewestRequestThread()
    {
        {
            const std::lock_guard guard(lock);
            quit = true;
            pending.reset();
            requestAbort(stopComputing);
        }
        wake.notify_all();
        if (thread.joinable())
            thread.join();
    }
    NewestRequestThread(const NewestRequestThread&) = delete;
    NewestRequestThread& operator=(const NewestRequestThread&) = delete;

    // Computes `request` as soon as the thread is free, aborting the one that computes now.
    void submit(Request request)
    {
        {
            const std::lock_guard guard(lock);
            pending = std::move(request);
            abortComputing();
            if (!thread.joinable()) {
                try {
                    thread = std::thread([this] { run(); });
                } catch (const std::system_error&) {
                    pending.reset(); // no thread: no outcome
                    return;
                }
            }
        }
        wake.notify_one();
    }
    // Drops the request that waits and aborts the one that computes; its outcome is not
    // delivered.
    void cancel()
    {
        const std::lock_guard guard(lock);
        pending.reset();
        abortComputing();
    }
    // cancel(), then waits until the thread is idle.
    void stop()
    {
        cancel();
        std::unique_lock guard(lock);
        idle.wait(guard, [this] { return !computing; });
    }
    // Whether a request waits or computes.
    bool busy() const
    {
        const std::lock_guard guard(lock);
        return computing || pending.has_value();
    }
    // Replaces what a request computes, from the next request on.
    void setCompute(Compute replacement)
    {
        const std::lock_guard guard(lock);
        compute = std::move(replacement);
    }

private:
    void abortComputing()
    {
        if (computing) {
            stale = true;
            requestAbort(stopComputing);
        }
    }

    void run()
    {
        std::unique_lock guard(lock);
        for (;;) {
            wake.wait(guard, [this] { return quit || pending.has_value(); });
            if (quit)
                return;
            const Request request = std::move(*pending);
            pending.reset();
            computing = true;
            stale = false;
            // Only this thread reads the flag, and only while it computes: a stop meant for
            // the request before this one ends here.
            clearAbort(stopComputing);
            const Compute body = compute;
            guard.unlock();

            Outcome outcome = body(request, &stopComputing);

            guard.lock();
            computing = false;
            const bool wanted = !stale && !quit;
            stale = false;
            idle.notify_all();
            if (wanted)
                deliver(std::move(outcome));
        }
    }

    mutable std::mutex lock;
    std::condition_variable wake;
    std::condition_variable idle;
    std::optional<Request> pending;
    bool computing = false;
    bool stale = false; // the request that computes has been replaced or cancelled
    bool quit = false;
    AbortFlag stopComputing {0};
    Compute compute;
    Deliver deliver;
    std::thread thread;
};
