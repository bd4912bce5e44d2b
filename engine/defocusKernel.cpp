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
    if (!image->data || image->channels != 1
        || (image->bitsPerChannel != 8 && image->bitsPerChannel != 16))
        return true;
    const bool wide = image->bitsPerChannel == 16;
    const auto sample = [image, wide](int x, int y) {
        const std::uint8_t* row = image->data + std::int64_t(y) * image->stride;
        return wide ? float(reinterpret_cast<const std::uint16_t*>(row)[x]) : float(row[x]);
    };
    // In float, sample by sample in row order: the arithmetic the kernel has always had.
    float sum = 0.0f;
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x)
            sum += sample(x, y);
    if (!(sum > 0.0f))
        return true; // an all-black picture has no shape to deconvolve with
    ImageBuffer built {};
    if (allocateImage(&built, image->width, image->height, 1, 32) != 0)
        return true;
    for (int y = 0; y < image->height; ++y) {
        auto* samples = reinterpret_cast<float*>(built.data + std::int64_t(y) * built.stride);
        for (int x = 0; x < image->width; ++x)
            samples[x] = sample(x, y) / sum;
    }
    releaseImage(kernel);
    *kernel = built;
    return false;
}
