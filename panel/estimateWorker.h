#pragma once

// The thread of the Auto buttons: the blur estimated from the photo off the user-interface
// thread (a shake estimate looks at the whole photo). Like the preview's thread, the newest
// request wins and its outcome reaches the panel through a queued signal.

#include "choices/choiceEstimate.h"
#include "panel/newestRequestThread.h"

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>

// One estimate: the choices to complete (their kernel Estimated) and the photo they are for,
// which the window keeps unchanged (and alive) while the panel is open.
struct EstimateRequest {
    DeblurChoices choices;
    const ImageBuffer* image = nullptr;
    std::uint64_t serial = 0; // the asker's count, handed back with the outcome
};

// What an estimate found. Only an estimate that ran to its end is handed back: one that a newer
// request or a cancel stopped is dropped.
struct EstimateOutcome {
    ChoiceEstimate estimate;
    std::uint64_t serial = 0;
};

class EstimateWorker : public QObject {
    Q_OBJECT

public:
    // What an estimate computes; tests replace it with a slow stand-in that polls `abort`.
    using Estimate
        = std::function<EstimateOutcome(const EstimateRequest& request, AbortToken abort)>;

    explicit EstimateWorker(QObject* parent = nullptr);
    ~EstimateWorker() override;

    // Estimates as soon as the thread is free, aborting the estimate that computes now.
    void estimate(EstimateRequest request);
    // Drops the waiting request and aborts the computing one; no outcome is handed back.
    void cancel();
    // cancel(), then waits until the thread is idle.
    void stop();
    bool busy() const;

    void setEstimate(Estimate estimate);

signals:
    void finished(std::shared_ptr<const EstimateOutcome> outcome);

private:
    using Thread = NewestRequestThread<EstimateRequest, std::shared_ptr<const EstimateOutcome>>;
    std::unique_ptr<Thread> thread;
};

// The engine's estimate of the request's choices.
EstimateOutcome estimateWithEngine(const EstimateRequest& request, AbortToken abort);
