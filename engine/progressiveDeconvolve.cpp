#include "engine/deconvolution.h"
#include "engine/deconvolutionSteps.h"

#include <utility>

JobStatus progressiveDeconvolve(
    DeconvolutionCanvas* canvas, int iterations, const ProgressSink& progress)
{
    const std::size_t count = std::size_t(canvas->width) * canvas->height;
    const float normalisation = kernelNormalisation(*canvas);
    copyValues(canvas->observed, canvas->image, count);
    reportStep(progress);

    float* ratio = canvas->extrapolation;
    float* correction = canvas->correction;
    if (!canvas->abort.requested())
        transformKernel(canvas);
    fillValues(ratio, 1.0f, count);
    fillValues(correction, 1.0f, count);
    reportStep(progress);

    // The estimate and the previous estimate are equal at the start of every iteration, so
    // they need one array each only while a new estimate is being made: the new one goes to
    // `next`, and the two swap roles at the end of the iteration.
    float* estimate = canvas->image;
    float* next = canvas->previous;
    // The scaled logarithm of a correction field is taken once; the same values serve as the
    // previous field's logarithm in the next iteration. ln(1) = 0 before the first one.
    float* logCorrection = canvas->logCorrection;
    float* logPrevious = canvas->logPreviousCorrection;
    fillValues(logCorrection, 1.0f, count);
    fillValues(logPrevious, 0.0f, count);
    float alpha = 1.0f;

    for (int k = 1; k <= iterations; ++k) {
        powerAll(ratio, alpha, canvas->width, canvas->height);
        multiplyValues(ratio, ratio, estimate, count); // the extrapolated estimate
        if (canvas->abort.requested())
            return JobAborted;
        blurWithKernel(canvas, correction, ratio);
        if (canvas->abort.requested())
            return JobAborted;
        reportStep(progress);
        divideObservedBy(correction, canvas->observed, count);
        if (canvas->abort.requested())
            return JobAborted;
        correlateWithKernel(canvas, correction);
        reportStep(progress);
        if (canvas->abort.requested())
            return JobAborted;
        // The new estimate, reported as its own step, and the ratio to the previous one.
        updateEstimate(next, ratio, correction, estimate, normalisation, count);
        reportStep(progress);
        if (canvas->abort.requested())
            return JobAborted;
        alpha = logarithmAndAccelerationFactor(next, estimate, logCorrection, logPrevious, count);
        if (canvas->abort.requested())
            return JobAborted;
        std::swap(estimate, next);
        // The correction field of this iteration becomes the one whose logarithm is taken next.
        float* spare = logPrevious;
        logPrevious = logCorrection;
        logCorrection = correction;
        correction = spare;
        if (canvas->abort.requested())
            return JobAborted;
    }
    if (estimate != canvas->image)
        copyValues(canvas->image, estimate, count);
    return JobDone;
}
