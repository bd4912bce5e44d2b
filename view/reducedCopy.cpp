#include "view/reducedCopy.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>

int viewReductionFactor(int width, int height)
{
    const int side = std::max(width, height);
    if (side <= MaxResampledSide)
        return 1;
    return int((std::int64_t(side) + MaxResampledSide - 1) / MaxResampledSide);
}

bool reduceViewCopy(ImageBuffer* copy, int factor)
{
    if (factor <= 1 || !copy->data || copy->bitsPerChannel != 8)
        return false;
    const int channels = copy->channels;
    const int width = (copy->width + factor - 1) / factor;
    const int height = (copy->height + factor - 1) / factor;
    ImageBuffer reduced {};
    // One row of sums and counts; nothrow, as everything here reports memory failures.
    const std::unique_ptr<std::uint32_t[]> sums(
        new (std::nothrow) std::uint32_t[std::size_t(width) * channels]);
    const std::unique_ptr<std::uint32_t[]> counts(new (std::nothrow) std::uint32_t[width]);
    if (!sums || !counts || allocateImage(&reduced, width, height, channels, 8) != 0) {
        releaseImage(&reduced);
        releaseImage(copy);
        resetImage(copy);
        return true;
    }
    for (int y = 0; y < height; ++y) {
        std::fill_n(sums.get(), std::size_t(width) * channels, 0u);
        std::fill_n(counts.get(), width, 0u);
        const int lastRow = std::min(copy->height, (y + 1) * factor);
        for (int sourceY = y * factor; sourceY < lastRow; ++sourceY) {
            const std::uint8_t* row = copy->data + std::size_t(sourceY) * copy->stride;
            for (int x = 0; x < copy->width; ++x) {
                const int target = x / factor;
                ++counts[std::size_t(target)];
                for (int c = 0; c < channels; ++c)
                    sums[std::size_t(target) * channels + c] += row[std::size_t(x) * channels + c];
            }
        }
        std::uint8_t* out = reduced.data + std::size_t(y) * reduced.stride;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t count = counts[std::size_t(x)];
            for (int c = 0; c < channels; ++c) {
                const std::uint32_t sum = sums[std::size_t(x) * channels + c];
                out[std::size_t(x) * channels + c] = std::uint8_t((sum + count / 2) / count);
            }
        }
    }
    releaseImage(copy);
    *copy = reduced;
    return false;
}

ViewState reducedViewState(const ViewState& state, int factor)
{
    if (factor <= 1)
        return state;
    return ViewState {state.viewCenterX, state.viewCenterY, state.imageCenterX / factor,
        state.imageCenterY / factor, state.zoom * factor};
}
