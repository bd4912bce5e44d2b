#include "engine/tilePass.h"

#include "engine/deconvolution.h"
#include "engine/kernelPlacement.h"
#include "engine/tilePadding.h"
#include "image/ownedImage.h"

#include <cmath>
#include <cstring>

namespace {

// The tile with its margin: a copy of the input in the middle, ramps to 0 in the margin,
// softened by a 5 x 5 mean and its outer half by a 9 x 9 mean of that. Returns true when memory
// runs out, for the tile or for the softening: an unsoftened margin would ring into the tile, so
// such a tile is better left not done (and counted so) than deblurred worse without a word.
bool padTile(ImageBuffer* padded, const ImageBuffer* input, int margin, AbortToken abort)
{
    const int half = margin / 2;
    if (allocateImage(
            padded, input->width + margin, input->height + margin, 1, input->bitsPerChannel)
        != 0)
        return true;
    if (abort.requested())
        return false;
    clearImage(padded);
    copyImageRect(padded, input, {half, half}, {0, 0}, {input->width, input->height});
    taperMargins(padded, half);
    OwnedImage blurred;
    if (copyImageHeader(blurred.get(), padded) != 0)
        return true;
    copyImagePixels(blurred.get(), padded);
    if (boxBlur(blurred.get(), padded, 5))
        return true;
    copyBorderBand(padded, blurred.get(), half);
    if (boxBlur(blurred.get(), padded, 9))
        return true;
    copyBorderBand(padded, blurred.get(), margin / 4);
    return false;
}

// The canvas' top-left corner receives the padded tile as floats; the rest stays 0.
template <typename Sample>
void loadCanvas(float* canvas, int canvasWidth, const ImageBuffer* padded)
{
    for (int y = 0; y < padded->height; ++y) {
        const auto* samples
            = reinterpret_cast<const Sample*>(padded->data + std::int64_t(y) * padded->stride);
        float* row = canvas + std::size_t(y) * canvasWidth;
        for (int x = 0; x < padded->width; ++x)
            row[x] = float(samples[x]);
    }
}

// The tile's own area of the canvas back into samples: v + 0.5 limited to [0, maximum] and
// truncated. Undefined values become 0, so nothing non-finite reaches a sample.
template <typename Sample>
void storeTile(
    ImageBuffer* output, const float* canvas, int canvasWidth, int offset, double maximum)
{
    for (int y = 0; y < output->height; ++y) {
        auto* samples = reinterpret_cast<Sample*>(output->data + std::int64_t(y) * output->stride);
        const float* row = canvas + std::size_t(y + offset) * canvasWidth + offset;
        for (int x = 0; x < output->width; ++x) {
            const double value = double(row[x]) + 0.5;
            samples[x] = Sample(value >= 0.0 ? std::min(value, maximum) : 0.0);
        }
    }
}

// The image, kernel, observed, correction and previous arrays serve both methods; the
// accelerated one also needs the extrapolation and the two logarithms.
constexpr int SmoothingFloatArrays = 5;

int floatArraysOf(const DeblurParams& params)
{
    return params.method == SmoothingMethod ? SmoothingFloatArrays : TileWorkspace::FloatArrays;
}

// Allocates what the workspace lacks for a canvas of `count` samples; keeps what fits. Returns
// true when memory runs out.
[[nodiscard]] bool prepareWorkspace(
    TileWorkspace* workspace, int width, int height, int floatArrays)
{
    if (workspace->width != width || workspace->height != height)
        releaseTileWorkspace(workspace);
    workspace->width = width;
    workspace->height = height;
    const std::size_t count = std::size_t(width) * std::size_t(height);
    const std::size_t spectrum = std::size_t(height) * std::size_t(width / 2 + 1);
    for (int i = 0; i < floatArrays; ++i) {
        if (!workspace->floats[i])
            workspace->floats[i] = allocateFftFloats(count);
        if (!workspace->floats[i])
            return true;
    }
    for (SpectrumValue*& array : workspace->spectra) {
        if (!array)
            array = allocateSpectrum(spectrum);
        if (!array)
            return true;
    }
    return false;
}

JobStatus deconvolveCanvas(
    DeconvolutionCanvas* canvas, const DeblurParams& params, const ProgressSink& progress)
{
    if (params.method == SmoothingMethod)
        return smoothingDeconvolve(
            canvas, smoothingIterations(params.power), smoothingWeight(params.noise), progress);
    return progressiveDeconvolve(canvas, progressiveIterations(params.power), progress);
}

} // namespace

int bitCount(int value)
{
    int bits = 0;
    for (unsigned v = unsigned(value); v != 0; v >>= 1)
        ++bits;
    return bits;
}

TileCanvas tileCanvas(int tileWidth, int tileHeight, bool motionMode)
{
    const int margin = tileMargin(motionMode);
    return {margin, 1 << bitCount(tileWidth + margin - 1), 1 << bitCount(tileHeight + margin - 1)};
}

namespace {

// The smallest even number not below `size` whose only prime factors are 2, 3, 5, 7, 11 and 13:
// sizes the transforms have fast code for.
int compactSize(int size)
{
    for (int candidate = std::max(2, size + (size & 1));; candidate += 2) {
        int rest = candidate;
        for (int prime : {2, 3, 5, 7, 11, 13})
            while (rest % prime == 0)
                rest /= prime;
        if (rest == 1)
            return candidate;
    }
}

} // namespace

TileCanvas tileCanvasOf(int tileWidth, int tileHeight, const DeblurParams& params)
{
    if (!params.compactCanvas)
        return tileCanvas(tileWidth, tileHeight, params.motionMode);
    const int margin = tileMargin(params.motionMode);
    return {margin, compactSize(tileWidth + margin), compactSize(tileHeight + margin)};
}

std::size_t tileMemoryNeed(int width, int height, int bitsPerChannel, const DeblurParams& params)
{
    const TileCanvas size = tileCanvasOf(width, height, params);
    const std::size_t bytes = bitsPerChannel > 8 ? 2 : 1;
    const std::size_t tile = std::size_t(width) * height * bytes;
    const std::size_t padded
        = std::size_t(width + size.margin) * std::size_t(height + size.margin) * bytes;
    const std::size_t canvas = std::size_t(size.width) * std::size_t(size.height);
    const std::size_t spectrum = std::size_t(size.height) * std::size_t(size.width / 2 + 1);
    return 2 * tile + padded + canvas * sizeof(float) * std::size_t(floatArraysOf(params))
        + spectrum * sizeof(SpectrumValue) * TileWorkspace::SpectrumArrays;
}

void releaseTileWorkspace(TileWorkspace* workspace)
{
    for (float*& array : workspace->floats) {
        freeFftMemory(array);
        array = nullptr;
    }
    for (SpectrumValue*& array : workspace->spectra) {
        freeFftMemory(array);
        array = nullptr;
    }
    workspace->width = 0;
    workspace->height = 0;
}

JobStatus deblurTile(ImageBuffer* output, const ImageBuffer* input, const DeblurParams& params,
    const ProgressSink& progress)
{
    TileWorkspace workspace;
    const JobStatus status = deblurTileIn(&workspace, output, input, params, progress);
    releaseTileWorkspace(&workspace);
    return status;
}

JobStatus deblurTileIn(TileWorkspace* workspace, ImageBuffer* output, const ImageBuffer* input,
    const DeblurParams& params, const ProgressSink& progress)
{
    const ImageBuffer& kernel = params.kernel.image;
    if (input->channels != 1 || input->width < MinTileEdge || input->height < MinTileEdge
        || !input->data || !output->data)
        return JobNotDone;
    const TileCanvas size = tileCanvasOf(input->width, input->height, params);
    // A kernel larger than the canvas cannot be laid out on it.
    if (!kernel.data || kernel.width > size.width || kernel.height > size.height)
        return JobNotDone;

    ImageBuffer padded {};
    if (padTile(&padded, input, size.margin, params.abort)) {
        releaseImage(&padded);
        return JobNotDone;
    }

    DeconvolutionCanvas canvas;
    canvas.width = size.width;
    canvas.height = size.height;
    canvas.abort = params.abort;
    const std::size_t count = std::size_t(size.width) * size.height;
    if (prepareWorkspace(workspace, size.width, size.height, floatArraysOf(params))
        || prepareRealFft(&canvas.fft, size.width, size.height)) {
        releaseImage(&padded);
        return JobNotDone;
    }
    float* kernelLayout = workspace->floats[1];
    canvas.image = workspace->floats[0];
    canvas.kernel = kernelLayout;
    canvas.observed = workspace->floats[2];
    canvas.correction = workspace->floats[3];
    canvas.previous = workspace->floats[4];
    canvas.extrapolation = workspace->floats[5];
    canvas.logCorrection = workspace->floats[6];
    canvas.logPreviousCorrection = workspace->floats[7];
    canvas.kernelSpectrum = workspace->spectra[0];
    canvas.spectrum = workspace->spectra[1];

    std::memset(canvas.image, 0, count * sizeof(float));
    std::memset(kernelLayout, 0, count * sizeof(float));
    if (!params.abort.requested()) {
        // The kernel was checked to fit the canvas above.
        if (placeKernelWrapped(kernelLayout, size.width, size.height, &kernel)) {
            releaseImage(&padded);
            return JobNotDone;
        }
        if (padded.bitsPerChannel == 8)
            loadCanvas<std::uint8_t>(canvas.image, size.width, &padded);
        else
            loadCanvas<std::uint16_t>(canvas.image, size.width, &padded);
    }
    releaseImage(&padded);

    const JobStatus status = deconvolveCanvas(&canvas, params, progress);
    if (status == JobAborted || params.abort.requested())
        return JobAborted;
    if (status != JobDone)
        return JobNotDone;
    const int offset = size.margin / 2;
    if (input->bitsPerChannel == 8)
        storeTile<std::uint8_t>(output, canvas.image, size.width, offset, 255.0);
    else
        storeTile<std::uint16_t>(
            output, canvas.image, size.width, offset, std::ldexp(1.0, input->bitsPerChannel) - 1.0);
    return JobDone;
}
