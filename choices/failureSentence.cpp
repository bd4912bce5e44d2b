#include "choices/failureSentence.h"

#include "locale/localisedStrings.h"
#include "locale/stringKeys.h"
#include "platform/textEncoding.h"

namespace {

std::string sizeText(int width, int height)
{
    return std::to_string(width) + " x " + std::to_string(height);
}

} // namespace

std::string jobFailureSentence(const DeblurOutcome& outcome)
{
    switch (outcome.failure) {
    case DeblurFailure::NoPathFound:
        return estimateSentence(outcome.estimate);
    case DeblurFailure::KernelNotBuilt:
        return utf16ToUtf8(localisedString(StringCannotBuildKernel));
    case DeblurFailure::KernelTooLarge:
        return "the point-spread function (" + sizeText(outcome.kernelWidth, outcome.kernelHeight)
            + ") is larger than the processing canvas ("
            + sizeText(outcome.canvas.width, outcome.canvas.height) + ")";
    case DeblurFailure::OutOfMemory:
        return "the job could not run: not enough memory";
    case DeblurFailure::TilesNotDone:
        return std::to_string(outcome.report.tilesNotDone) + " of "
            + std::to_string(outcome.report.tiles)
            + " tiles could not be deblurred (not enough memory)";
    default:
        return {};
    }
}
