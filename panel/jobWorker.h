#pragma once

// The full job's thread: deblurs the whole image from the copies it was given and hands the
// result back through `finished`. Progress and the outcome are signals, queued to the
// user-interface thread; the thread never touches a widget or waits for the user-interface
// thread, so the window can wait for it on close.

#include "image/ownedImage.h"
#include "panel/deblurRequest.h"

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

struct ProgressSink;

// What the full job reads: its own copies, taken when it starts.
struct FullJob {
    DeblurParams params; // with its kernel, built on the user-interface thread before the start
    std::shared_ptr<const OwnedImage> input; // the unprocessed image
};

struct JobOutcome {
    enum Status { Done, Aborted, Failed };
    Status status = Failed;
    std::shared_ptr<const OwnedImage> result; // Done: the deblurred image
};

class JobWorker : public QObject {
    Q_OBJECT

public:
    // The job's body: deblurs `job.input` into `result` (allocated like it), reporting to
    // `progress`. Tests replace it with a stand-in that waits for the abort.
    using Runner = std::function<JobOutcome::Status(
        ImageBuffer* result, const FullJob& job, const ProgressSink& progress)>;

    explicit JobWorker(QObject* parent = nullptr);
    // Aborts a job still running and waits for its end.
    ~JobWorker() override;

    // Starts `job`; false when no thread could be made (nothing is signalled then). A previous
    // job must have finished.
    [[nodiscard]] bool start(FullJob job);
    // Asks the running job to stop soon; its outcome is then Aborted.
    void abort();
    // Waits for the thread to end (after abort() or the end of the job).
    void wait();
    bool running() const { return active.load(); }

    void setRunner(Runner runner);

signals:
    void progressRange(int minimum, int maximum);
    void progressChanged(int position);
    void finished(std::shared_ptr<const JobOutcome> outcome);

private:
    Runner runner;
    std::thread thread;
    std::atomic<bool> active {false};
};

// The engine's job: runDeblurJob with measured FFT plans (the batch tool's), the outcome Failed
// when the engine could not do every tile.
JobOutcome::Status runEngineJob(
    ImageBuffer* result, const FullJob& job, const ProgressSink& progress);
