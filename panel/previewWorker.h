#pragma once

// The preview's thread. The panel hands it a request for every edit; the thread deblurs the
// newest one and hands the deblurred area back through `finished`, a signal that reaches the
// panel on the user-interface thread. A request that arrives while another one computes aborts
// that one (through the preview's own abort flag): only the newest request's result is ever
// handed back. The user-interface thread never waits for a preview, except in stop().

#include "choices/deblurChoices.h"
#include "image/imageBuffer.h"
#include "image/ownedImage.h"

#include "panel/newestRequestThread.h"

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>

// One preview: the choices and the area of the input it deblurs, copied out when it was asked
// for.
struct PreviewJob {
    DeblurChoices choices;
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

// What one preview computes, on the calling thread: the deblur of the area as a preview of the
// request's choices, stopped through `abort`.
PreviewOutcome deblurPreview(const PreviewJob& job, AbortToken abort = {});

// The engine's deblur of a preview area into `result` (allocated like it).
DeblurFailure deblurPreviewArea(
    ImageBuffer* result, const ImageBuffer* area, const DeblurChoices& choices, AbortToken abort);

class PreviewWorker : public QObject {
    Q_OBJECT

public:
    // What a preview computes: the deblur of `area` into `result` (allocated like it). Tests
    // replace it with a slow stand-in that polls `abort`.
    using Deblur = std::function<DeblurFailure(ImageBuffer* result, const ImageBuffer* area,
        const DeblurChoices& choices, AbortToken abort)>;

    explicit PreviewWorker(QObject* parent = nullptr);
    ~PreviewWorker() override;

    // Deblurs `job` as soon as the thread is free, aborting the preview that computes now.
    void render(PreviewJob job);
    // Drops the request that waits and aborts the one that computes; its result is not handed
    // back.
    void cancel();
    // cancel(), then waits until the thread is idle.
    void stop();
    // Whether a request waits or computes.
    bool busy() const;

    void setDeblur(Deblur deblur);

signals:
    void finished(std::shared_ptr<const PreviewOutcome> outcome);

private:
    using Thread = NewestRequestThread<PreviewJob, std::shared_ptr<const PreviewOutcome>>;
    std::unique_ptr<Thread> thread;
};
