#include "choices/deblurChoices.h"

#include "engine/pointSpread.h"

namespace {

bool outside(int value, int low, int high)
{
    return value < low || value > high;
}

} // namespace

DeblurFailure checkChoices(const DeblurChoices& choices)
{
    if (outside(choices.method, ProgressiveMethod, SmoothingMethod))
        return DeblurFailure::MethodOutOfRange;
    if (outside(choices.power, LowPower, HighPower))
        return DeblurFailure::PowerOutOfRange;
    if (outside(choices.noise, ClearNoise, NoisyNoise))
        return DeblurFailure::NoiseOutOfRange;
    if (outside(choices.detail, MinDetail, MaxDetail))
        return DeblurFailure::DetailOutOfRange;
    if (!choices.motionMode && !choices.points.empty())
        return DeblurFailure::PointsWithoutMotion;
    if (choices.motionMode && choices.kernelSource == KernelSource::Built
        && choices.points.size() < 2)
        return DeblurFailure::TooFewPoints;
    return DeblurFailure::None;
}

DeblurFailure paramsFromChoices(
    const DeblurChoices& choices, RunKind kind, AbortToken abort, DeblurParams* params)
{
    params->method = choices.method;
    params->power = choices.power;
    params->noise = choices.noise;
    params->detail = choices.detail;
    params->motionMode = choices.motionMode;
    params->compactCanvas = kind == RunKind::Preview && choices.motionMode;
    params->abort = abort;
    params->importedKernel = false;
    params->kernel = OwnedImage();
    if (choices.kernelSource == KernelSource::Picture) {
        if (!choices.psf)
            return DeblurFailure::KernelNotBuilt;
        const ImageBuffer* picture = choices.psf->get();
        OwnedImage copy(
            picture->width, picture->height, picture->channels, picture->bitsPerChannel);
        if (!copy->data)
            return DeblurFailure::KernelNotBuilt;
        copyImagePixels(copy.get(), picture);
        params->kernel = std::move(copy);
        params->importedKernel = true;
        return DeblurFailure::None;
    }
    const double motionSpread = kind == RunKind::Preview ? PreviewMotionSpread : JobMotionSpread;
    const bool failed = choices.motionMode
        ? buildMotionKernel(params, choices.points.data(), int(choices.points.size()), motionSpread)
        : buildDefocusKernel(params, defocusSpread(choices.detail));
    return failed ? DeblurFailure::KernelNotBuilt : DeblurFailure::None;
}
