#include "panel/previewArea.h"

#include "engine/jobDriver.h"
#include "image/ownedImage.h"

bool deblurPreviewArea(
    ImageBuffer* result, const ImageBuffer* input, ImageRect rect, const DeblurParams& params)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return false;
    OwnedImage crop(width, height, input->channels, input->bitsPerChannel);
    OwnedImage deblurred(width, height, input->channels, input->bitsPerChannel);
    if (!crop->data || !deblurred->data)
        return false;
    cropImage(crop.get(), input, rect);
    if (runDeblurJob(deblurred.get(), crop.get(), params, {}) != JobDone)
        return false;
    copyImageRect(result, deblurred.get(), {rect.left, rect.top}, {0, 0}, {width, height});
    return true;
}
