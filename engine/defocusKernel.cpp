#include "engine/pointSpread.h"

#include <cmath>
#include <cstdlib>
#include <utility>

void exponentialKernel(double* values, int n, double spread)
{
    const double centre = n / 2;
    const double exponentScale = 1.0 / (spread * spread);
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const double r = std::sqrt((j - centre) * (j - centre) + (i - centre) * (i - centre));
            const double value = std::sqrt(std::pow(2.7182818, -r * exponentScale));
            values[std::size_t(i) * n + j] = value;
            sum += value;
        }
    }
    for (int k = 0; k < n * n; ++k)
        values[k] /= sum;
}

bool buildDefocusKernel(DeblurParams* params, double spread)
{
    if (params->importedKernel)
        return false;
    constexpr int n = DefocusKernelSize;
    auto* spot = static_cast<double*>(std::calloc(std::size_t(n) * n, sizeof(double)));
    if (!spot)
        return true;
    exponentialKernel(spot, n, spread);
    ImageBuffer kernel {};
    const bool failed = allocateImage(&kernel, n, n, 1, 32) != 0;
    if (!failed) {
        auto* samples = reinterpret_cast<float*>(kernel.data);
        for (int i = 0; i < n * n; ++i)
            samples[i] = float(spot[i]);
        params->kernel = OwnedImage();
        params->kernel.image = kernel;
    }
    std::free(spot);
    return failed;
}

bool kernelFromImage(ImageBuffer* kernel, const ImageBuffer* image)
{
    if (!image->data || image->channels != 1 || image->bitsPerChannel != 8)
        return true;
    float sum = 0.0f;
    for (std::int32_t i = 0; i < image->dataSize; ++i)
        sum += float(image->data[i]);
    if (!(sum > 0.0f))
        return true; // an all-black picture has no shape to deconvolve with
    ImageBuffer built {};
    if (allocateImage(&built, image->width, image->height, 1, 32) != 0)
        return true;
    auto* samples = reinterpret_cast<float*>(built.data);
    for (std::int32_t i = 0; i < image->dataSize; ++i)
        samples[i] = float(image->data[i]) / sum;
    releaseImage(kernel);
    *kernel = built;
    return false;
}
