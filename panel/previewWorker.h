#pragma once

// The preview's thread. The panel hands it a request for every edit; the thread deblurs the
// newest one and hands the deblurred area back through `finished`, a signal that reaches the
// panel on the user-interface thread. A request that arrives while another one computes aborts
// that one (through the engine's abort flag): only the newest request's result is ever handed
// back. The user-interface thread never waits for a preview, except in stop().

#include "image/imageBuffer.h"
#include "image/ownedImage.h"
#include "panel/deblurRequest.h"

#include <QObject>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// One preview: the area of the input it deblurs, copied out when it was asked for.
struct PreviewJob {
    DeblurRequest request;
    std::shared_ptr<const OwnedImage> area; // the input's pixels inside `rect`
    ImageRect rect; // where the area lies in the image
    std::uint64_t serial = 0; // the asker's count, handed back with the outcome
};

// A preview's outcome: the deblurred area, or why there is none.
struct PreviewOutcome {
    enum Status { Done, KernelFailed, NotDone };
    Status status = NotDone;
    std::shared_ptr<const OwnedImage> area; // Done: the deblurred pixels of `rect`
    ImageRect rect {0, 0, 0, 0};
    std::uint64_t serial = 0;
};

// What one preview computes, on the calling thread: the request's kernel, then the engine's
// deblur of the area.
PreviewOutcome deblurPreview(const PreviewJob& job);

class PreviewWorker : public QObject {
    Q_OBJECT

public:
    // What a preview computes: the deblur of `area` into `result` (allocated like it) with
    // `params`; true when it failed or was aborted. Tests replace it with a slow stand-in.
    using Deblur = std::function<bool(
        ImageBuffer* result, const ImageBuffer* area, const DeblurParams& params)>;

    explicit PreviewWorker(QObject* parent = nullptr);
    ~PreviewWorker() override;

    // Deblurs `job` as soon as the thread is free, aborting the preview that computes now.
    void render(PreviewJob job);
    // Drops the request that waits and aborts the one that computes; its result is not handed
    // back.
    void cancel();
    // cancel(), then waits until the thread is idle, so that the engine's abort flag is free for
    // the full job.
    void stop();
    // Whether a request waits or computes.
    bool busy() const;

    void setDeblur(Deblur deblur);

signals:
    void finished(std::shared_ptr<const PreviewOutcome> outcome);

private:
    void run();

    mutable std::mutex lock;
    std::condition_variable wake;
    std::condition_variable idle;
    std::optional<PreviewJob> pending;
    bool computing = false;
    bool restart = false; // the computing preview is stale
    bool quit = false;
    Deblur deblur;
    std::thread thread;
};
