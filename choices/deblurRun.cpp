#include "choices/deblurRun.h"

DeblurOutcome deblurWithChoices(const DeblurChoices& choices, const ImageBuffer& source,
    ImageBuffer* target, RunKind kind, const ProgressSink& progress, AbortToken abort)
{
    DeblurOutcome outcome;
    outcome.used = choices;
    if ((outcome.failure = checkChoices(choices)) != DeblurFailure::None)
        return outcome;
    if (source.width < MinTileEdge || source.height < MinTileEdge) {
        outcome.failure = DeblurFailure::TooSmall;
        return outcome;
    }
    if (choices.kernelSource == KernelSource::Estimated) {
        outcome.estimated = true;
        outcome.estimate = estimateChoices(&outcome.used, source, abort);
        if (!abort.requested() && outcome.used.motionMode && outcome.used.points.size() < 2) {
            outcome.failure = DeblurFailure::NoPathFound;
            return outcome;
        }
    }
    if (abort.requested()) {
        outcome.failure = DeblurFailure::Aborted;
        return outcome;
    }
    DeblurParams params; // owns the kernel
    if ((outcome.failure = paramsFromChoices(outcome.used, kind, abort, &params))
        != DeblurFailure::None) {
        if (abort.requested())
            outcome.failure = DeblurFailure::Aborted;
        return outcome;
    }
    const ImageBuffer& kernel = params.kernel.image;
    outcome.kernelWidth = kernel.width;
    outcome.kernelHeight = kernel.height;
    // A long motion path's kernel may miss a preview's compact canvas; the job's canvas holds it.
    if (params.compactCanvas) {
        const TileCanvas compact = tileCanvasOf(source.width, source.height, params);
        params.compactCanvas = kernel.width <= compact.width && kernel.height <= compact.height;
    }
    // A kernel that misses a tile's canvas would leave that tile as it was.
    const TileCanvas canvas
        = smallestTileCanvas(source.width, source.height, outcome.used.motionMode);
    if (kernel.width > canvas.width || kernel.height > canvas.height) {
        outcome.canvas = canvas;
        outcome.failure = DeblurFailure::KernelTooLarge;
        return outcome;
    }
    const JobStatus status = runDeblurJob(target, &source, params, progress, &outcome.report);
    if (status == JobAborted || abort.requested())
        outcome.failure = DeblurFailure::Aborted;
    else if (status != JobDone)
        outcome.failure = DeblurFailure::OutOfMemory;
    else if (outcome.report.tilesNotDone > 0)
        outcome.failure = DeblurFailure::TilesNotDone;
    return outcome;
}
