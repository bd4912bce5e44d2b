#include "panel/deblurRequest.h"

#include "engine/pointSpread.h"

bool buildRunParams(const DeblurRequest& request, double motionSpread, DeblurParams* params)
{
    const DeblurParams& choices = request.params;
    params->method = choices.method;
    params->power = choices.power;
    params->noise = choices.noise;
    params->detail = choices.detail;
    params->motionMode = choices.motionMode;
    params->compactCanvas = choices.compactCanvas;
    params->importedKernel = false;
    params->kernel = OwnedImage();
    if (request.importedKernel) {
        const ImageBuffer* imported = request.importedKernel->get();
        OwnedImage copy(
            imported->width, imported->height, imported->channels, imported->bitsPerChannel);
        if (!copy->data)
            return true;
        copyImagePixels(copy.get(), imported);
        params->kernel = std::move(copy);
        params->importedKernel = true;
        return false;
    }
    return params->motionMode
        ? buildMotionKernel(params, request.points.data(), int(request.points.size()), motionSpread)
        : buildDefocusKernel(params, defocusSpread(params->detail));
}
