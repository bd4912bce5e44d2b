#include "engine/kernelPlacement.h"

#include <algorithm>
#include <cstring>

namespace {

const float* kernelRow(const ImageBuffer* kernel, int y)
{
    return reinterpret_cast<const float*>(kernel->data + std::int64_t(y) * kernel->stride);
}

int wrapped(long long value, int size)
{
    const long long remainder = value % size;
    return int(remainder < 0 ? remainder + size : remainder);
}

} // namespace

KernelCentroid kernelCentroid(const ImageBuffer* kernel)
{
    double sum = 0.0;
    double sumX = 0.0;
    double sumY = 0.0;
    for (int y = 0; y < kernel->height; ++y) {
        const float* samples = kernelRow(kernel, y);
        for (int x = 0; x < kernel->width; ++x) {
            sum += samples[x];
            sumX += double(x) * samples[x];
            sumY += double(y) * samples[x];
        }
    }
    if (sum > 0.0) {
        sumX /= sum;
        sumY /= sum;
    }
    return {int(sumX + 0.5), int(sumY + 0.5)};
}

bool placeKernelWrapped(float* canvas, int width, int height, const ImageBuffer* kernel)
{
    if (!kernel->data || kernel->channels != 1 || kernel->bitsPerChannel != 32
        || kernel->width > width || kernel->height > height)
        return true;
    const KernelCentroid centroid = kernelCentroid(kernel);
    // Each kernel row lands on one canvas row in at most two pieces: up to the canvas' right
    // edge, and the rest from its left edge.
    const int firstColumn = wrapped(-static_cast<long long>(centroid.x), width);
    const int beforeWrap = std::min(kernel->width, width - firstColumn);
    for (int y = 0; y < kernel->height; ++y) {
        const float* samples = kernelRow(kernel, y);
        float* target
            = canvas + std::size_t(wrapped(static_cast<long long>(y) - centroid.y, height)) * width;
        std::memcpy(target + firstColumn, samples, std::size_t(beforeWrap) * sizeof(float));
        std::memcpy(
            target, samples + beforeWrap, std::size_t(kernel->width - beforeWrap) * sizeof(float));
    }
    return false;
}
