#pragma once

// The full job's thread: builds the kernel from the choices it was given and deblurs the whole
// image, then hands the result back through `finished`. Progress and the outcome are signals,
// queued to the user-interface thread; the thread never touches a widget or waits for the
// user-interface thread, so the window can wait for it on close.

#include "choices/deblurChoices.h"
#include "image/ownedImage.h"

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

struct ProgressSink;

// What the full job reads: its own copy of the choices, taken when it starts, and the
// unprocessed image, which the window keeps unchanged (and alive) until the job has ended.
struct FullJob {
    DeblurChoices choices;
    const ImageBuffer* input = nullptr;
};

struct JobOutcome {
    enum Status {
        Done,
        Aborted,
        Failed, // memory ran out for the planes or for some tiles
        KernelFailed,
        TooSmall, // the picture is under MinTileEdge pixels a side
        KernelTooLarge, // the kernel does not fit the processing canvas
    };
    Status status = Failed;
    std::shared_ptr<const OwnedImage> result; // Done: the deblurred image
};

class JobWorker : public QObject {
    Q_OBJECT

public:
    // The job's body: deblurs `job.input` into `result` (allocated like it), reporting to
    // `progress` and stopping when `abort` is set. Tests replace it with a stand-in that waits
    // for the abort.
    using Runner = std::function<JobOutcome::Status(
        ImageBuffer* result, const FullJob& job, const ProgressSink& progress, AbortToken abort)>;

    explicit JobWorker(QObject* parent = nullptr);
    // Aborts a job still running and waits for its end.
    ~JobWorker() override;

    // Starts `job`; true when no thread could be made (nothing is signalled then). A previous
    // job must have finished.
    [[nodiscard]] bool start(FullJob job);
    // Asks the running job to stop soon; its outcome is then Aborted.
    void abort();
    // Waits for the thread to end (after abort() or the end of the job).
    void wait();

    void setRunner(Runner runner);

signals:
    void progressRange(int minimum, int maximum);
    void progressChanged(int position);
    void finished(std::shared_ptr<const JobOutcome> outcome);

private:
    Runner runner;
    std::thread thread;
    std::atomic<bool> active {false};
    AbortFlag stopJob {0};
};

// The engine's job: the choices' kernel built, then deblurred with measured FFT plans (the batch
// tool's); the outcome Failed when the engine could not do every tile.
JobOutcome::Status runEngineJob(
    ImageBuffer* result, const FullJob& job, const ProgressSink& progress, AbortToken abort);
