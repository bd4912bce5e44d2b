#include "panel/previewWorker.h"

#include "engine/abort.h"
#include "engine/engine.h"

namespace {

bool deblurWithEngine(ImageBuffer* result, const ImageBuffer* area, const DeblurParams& params)
{
    return runDeblurJob(result, area, params, {}) != JobDone;
}

PreviewOutcome computePreview(const PreviewJob& job, const PreviewWorker::Deblur& deblur)
{
    PreviewOutcome outcome;
    outcome.rect = job.rect;
    outcome.serial = job.serial;
    DeblurParams params;
    if (buildRunParams(job.request, PreviewMotionSpread, &params)) {
        outcome.status
            = isAbortRequested() ? PreviewOutcome::NotDone : PreviewOutcome::KernelFailed;
        return outcome;
    }
    // A motion tile keeps the job's wide padding, which decides its pixels (a narrower one changes
    // the whole area by tens of levels), but a 300-pixel area padded so does not need the power of
    // two a job's tiles are laid on: a compact canvas gives the same pixels in half the time.
    params.compactCanvas = params.motionMode;
    const ImageBuffer* area = job.area->get();
    auto result = std::make_shared<OwnedImage>(
        area->width, area->height, area->channels, area->bitsPerChannel);
    if (!(*result)->data || deblur(result->get(), area, params))
        return outcome;
    outcome.status = PreviewOutcome::Done;
    outcome.area = std::move(result);
    return outcome;
}

} // namespace

PreviewWorker::PreviewWorker(QObject* parent)
    : QObject(parent)
    , deblur(deblurWithEngine)
{
    qRegisterMetaType<std::shared_ptr<const PreviewOutcome>>();
}

PreviewWorker::~PreviewWorker()
{
    {
        const std::lock_guard guard(lock);
        quit = true;
        pending.reset();
        if (computing)
            requestAbort();
    }
    wake.notify_all();
    if (thread.joinable())
        thread.join();
    clearAbortRequest();
}

void PreviewWorker::setDeblur(Deblur replacement)
{
    const std::lock_guard guard(lock);
    deblur = replacement ? std::move(replacement) : Deblur(deblurWithEngine);
}

void PreviewWorker::render(PreviewJob job)
{
    {
        const std::lock_guard guard(lock);
        pending = std::move(job);
        if (computing) {
            restart = true;
            requestAbort();
        }
        if (!thread.joinable()) {
            try {
                thread = std::thread([this] { run(); });
            } catch (const std::system_error&) {
                pending.reset(); // no thread: no preview, the unprocessed area stays
                return;
            }
        }
    }
    wake.notify_one();
}

void PreviewWorker::cancel()
{
    const std::lock_guard guard(lock);
    pending.reset();
    if (computing) {
        restart = true;
        requestAbort();
    }
}

void PreviewWorker::stop()
{
    cancel();
    std::unique_lock guard(lock);
    idle.wait(guard, [this] { return !computing; });
    clearAbortRequest();
}

bool PreviewWorker::busy() const
{
    const std::lock_guard guard(lock);
    return computing || pending.has_value();
}

void PreviewWorker::run()
{
    std::unique_lock guard(lock);
    for (;;) {
        wake.wait(guard, [this] { return quit || pending.has_value(); });
        if (quit)
            return;
        const PreviewJob job = std::move(*pending);
        pending.reset();
        computing = true;
        restart = false;
        clearAbortRequest(); // set for the preview this one replaces
        const Deblur compute = deblur;
        guard.unlock();

        auto outcome = std::make_shared<PreviewOutcome>(computePreview(job, compute));

        guard.lock();
        computing = false;
        const bool stale = restart || quit;
        restart = false;
        if (stale && !pending)
            clearAbortRequest(); // it stopped the preview just dropped; nothing else reads it now
        idle.notify_all();
        if (!stale)
            emit finished(outcome);
    }
}

PreviewOutcome deblurPreview(const PreviewJob& job)
{
    return computePreview(job, deblurWithEngine);
}
