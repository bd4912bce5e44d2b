#include "choices/choiceEstimate.h"

#include <cmath>
#include <cstdio>

ChoiceEstimate estimateChoices(DeblurChoices* choices, const ImageBuffer& image, AbortToken abort)
{
    ChoiceEstimate estimate;
    estimate.motionMode = choices->motionMode;
    if (choices->kernelSource != KernelSource::Estimated)
        return estimate;
    choices->kernelSource = KernelSource::Built;
    if (choices->motionMode) {
        estimate.shake = estimateShake(&image, choices->estimateRegion, abort);
        choices->points.clear();
        if (estimate.found())
            choices->points = {estimate.shake.from, estimate.shake.to};
    } else {
        estimate.defocus = estimateDefocusLevel(&image, choices->estimateRegion, abort);
        choices->detail = estimate.found() ? estimate.defocus.detail : DefaultDetail;
    }
    return estimate;
}

std::string estimateSentence(const ChoiceEstimate& estimate)
{
    char text[200];
    if (estimate.motionMode) {
        const ShakeEstimate& shake = estimate.shake;
        if (!estimate.found())
            return std::string(blurEstimateProblem(shake.status)) + "; no motion path was found";
        std::snprintf(text, sizeof text,
            "estimated camera shake %.1f pixels at %.0f degrees (confidence %d %%)", shake.length,
            shake.angle, int(std::lround(shake.confidence * 100)));
        return text;
    }
    const DefocusEstimate& defocus = estimate.defocus;
    if (!estimate.found())
        return std::string(blurEstimateProblem(defocus.status)) + "; the default level of details "
            + std::to_string(DefaultDetail) + " is used";
    std::snprintf(text, sizeof text, "estimated level of details %d (confidence %d %%)",
        defocus.detail, int(std::lround(defocus.confidence * 100)));
    return text;
}
