#include "panel/deblurRequest.h"

#include "engine/pointSpread.h"

#include <new>

std::shared_ptr<const OwnedImage> requestKernel(const DeblurRequest& request, double motionSpread)
{
    if (request.importedKernel)
        return request.importedKernel;
    DeblurParams params = request.params;
    params.importedKernel = false;
    params.kernel = {};
    const bool failed = params.motionMode
        ? buildMotionKernel(
            &params, request.points.data(), int(request.points.size()), motionSpread)
        : buildDefocusKernel(&params, defocusSpread(params.detail));
    if (failed)
        return nullptr;
    auto kernel = std::shared_ptr<OwnedImage>(new (std::nothrow) OwnedImage);
    if (!kernel) {
        releaseImage(&params.kernel);
        return nullptr;
    }
    kernel->image = params.kernel;
    return kernel;
}

DeblurParams paramsWithKernel(const DeblurRequest& request, const OwnedImage& kernel)
{
    DeblurParams params = request.params;
    params.importedKernel = request.importedKernel != nullptr;
    params.kernel = kernel.image;
    return params;
}
