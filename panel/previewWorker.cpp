#include "panel/previewWorker.h"

#include "choices/deblurRun.h"

namespace {

PreviewOutcome computePreview(
    const PreviewJob& job, const PreviewWorker::Deblur& deblur, AbortToken abort)
{
    PreviewOutcome outcome;
    outcome.rect = job.rect;
    outcome.serial = job.serial;
    const ImageBuffer* area = job.area->get();
    auto result = std::make_shared<OwnedImage>(
        area->width, area->height, area->channels, area->bitsPerChannel);
    if (!(*result)->data)
        return outcome;
    const DeblurFailure failure = deblur(result->get(), area, job.choices, abort);
    if (failure == DeblurFailure::KernelNotBuilt && !abort.requested()) {
        outcome.status = PreviewOutcome::KernelFailed;
    } else if (failure == DeblurFailure::None) {
        outcome.status = PreviewOutcome::Done;
        outcome.area = std::move(result);
    }
    return outcome;
}

} // namespace

DeblurFailure deblurPreviewArea(
    ImageBuffer* result, const ImageBuffer* area, const DeblurChoices& choices, AbortToken abort)
{
    return deblurWithChoices(choices, *area, result, RunKind::Preview, {}, abort).failure;
}

PreviewOutcome deblurPreview(const PreviewJob& job, AbortToken abort)
{
    return computePreview(job, deblurPreviewArea, abort);
}

PreviewWorker::PreviewWorker(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<std::shared_ptr<const PreviewOutcome>>();
    setDeblur({});
}

PreviewWorker::~PreviewWorker() = default;

void PreviewWorker::setDeblur(Deblur deblur)
{
    if (!deblur)
        deblur = deblurPreviewArea;
    auto compute = [deblur = std::move(deblur)](const PreviewJob& job, AbortToken abort) {
        return std::shared_ptr<const PreviewOutcome>(
            std::make_shared<PreviewOutcome>(computePreview(job, deblur, abort)));
    };
    if (thread)
        thread->setCompute(std::move(compute));
    else
        thread = std::make_unique<Thread>(std::move(compute),
            [this](std::shared_ptr<const PreviewOutcome> outcome) { emit finished(outcome); });
}

void PreviewWorker::render(PreviewJob job)
{
    thread->submit(std::move(job));
}

void PreviewWorker::cancel()
{
    thread->cancel();
}

void PreviewWorker::stop()
{
    thread->stop();
}

bool PreviewWorker::busy() const
{
    return thread->busy();
}
