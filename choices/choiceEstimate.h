#pragma once

// The choices a picture is asked for (KernelSource::Estimated): the level of details out of
// focus, a straight motion path in the motion mode, found in the picture itself.

#include "choices/deblurChoices.h"
#include "engine/blurEstimate.h"

#include <string>

// What an estimate found.
struct ChoiceEstimate {
    bool motionMode = false; // which of the two below was asked for
    DefocusEstimate defocus;
    ShakeEstimate shake;

    bool found() const
    {
        return (motionMode ? shake.status : defocus.status) == BlurEstimateStatus::Found;
    }
};

// Estimates what `choices` leave to the picture, in its `estimateRegion` of `image`, and writes
// it into the choices, whose kernel is then Built: the level found (or DefaultDetail when
// unsure), the line's two ends (or no points when unsure: the caller has no path to deblur
// with). Choices whose kernel is not Estimated are left as they are.
// `abort` stops the estimate, which then finds nothing.
ChoiceEstimate estimateChoices(
    DeblurChoices* choices, const ImageBuffer& image, AbortToken abort = {});

// A sentence saying what was found and how sure, for a run's summary: "estimated level of
// details 17 (confidence 80 %)", or why nothing was, with what stands instead.
std::string estimateSentence(const ChoiceEstimate& estimate);
