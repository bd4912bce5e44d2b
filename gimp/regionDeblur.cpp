#include "gimp/regionDeblur.h"

#include "choices/deblurRun.h"
#include "choices/engineSetup.h"
#include "choices/failureSentence.h"
#include "gimp/regionPixels.h"

bool deblurRegion(ImageBuffer* region, bool alpha, const DeblurChoices& choices,
    const ProgressSink& progress, AbortToken abort, std::string* message)
{
    if (region->width < MinTileEdge || region->height < MinTileEdge) {
        *message = "the image or selection must be at least 50 x 50 pixels to be deblurred";
        return true;
    }
    OwnedImage source;
    OwnedImage target;
    if (engineColourOf(*region, alpha, &source)
        || copyImageHeader(target.get(), source.get()) != 0) {
        *message = "not enough memory for the image";
        return true;
    }
    configureEngineFor(FftPlanning::Patient);
    // A level or path to be estimated is found in the region's own pixels.
    const DeblurOutcome outcome
        = deblurWithChoices(choices, source.image, target.get(), RunKind::Job, progress, abort);
    if (outcome.failure == DeblurFailure::Aborted) {
        *message = "cancelled";
        return true;
    }
    if (outcome.failure != DeblurFailure::None) {
        *message = jobFailureSentence(outcome);
        if (message->empty())
            *message = "the choices cannot be used";
        return true;
    }
    putEngineColour(region, alpha, target.image);
    return false;
}
