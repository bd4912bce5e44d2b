#include "engine/jobDriver.h"

#include "engine/abort.h"
#include "engine/colourPlanes.h"
#include "engine/deconvolution.h"
#include "engine/tilePass.h"
#include "image/imageFormat.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int MotionProgressTileEdge = 2800;

bool isJobFormat(const ImageBuffer* image)
{
    return image->data && (image->channels == 1 || image->channels == 3)
        && (image->bitsPerChannel == 8 || image->bitsPerChannel == 16);
}

// Copies a tile's input through when its pass did not run, so the caller never sees
// uninitialised pixels.
JobStatus deblurOneTile(ImageBuffer* output, const ImageBuffer* input, const DeblurParams& params,
    const ProgressSink& progress)
{
    const JobStatus status = deblurTile(output, input, params, progress);
    if (status == JobNotDone)
        copyImagePixels(output, input);
    return status;
}

struct ColourPlanes {
    ImageBuffer luma {};
    ImageBuffer deblurred {};
    ImageBuffer work {};
    ~ColourPlanes()
    {
        releaseImage(&luma);
        releaseImage(&deblurred);
        releaseImage(&work);
    }
};

} // namespace

TileGrid tileGrid(int width, int height, int tileEdge)
{
    const int columns = int(std::ceil(double(width) / tileEdge));
    const int rows = int(std::ceil(double(height) / tileEdge));
    if (columns == 0 || rows == 0)
        return {columns, rows, 0, 0};
    return {columns, rows, int(std::ceil(double(width) / columns)),
        int(std::ceil(double(height) / rows))};
}

namespace {

ImageRect tileRect(const TileGrid& grid, int column, int row, int width, int height, int extra)
{
    return {std::max(column * grid.tileWidth - extra, 0),
        std::max(row * grid.tileHeight - extra, 0),
        std::min((column + 1) * grid.tileWidth + extra, width),
        std::min((row + 1) * grid.tileHeight + extra, height)};
}

} // namespace

ImageRect tileReadRect(const TileGrid& grid, int column, int row, int width, int height)
{
    return tileRect(grid, column, row, width, height, TileContext);
}

ImageRect tileWriteRect(const TileGrid& grid, int column, int row, int width, int height)
{
    return tileRect(grid, column, row, width, height, TileOverlap);
}

TileCanvas smallestTileCanvas(int width, int height, bool motionMode)
{
    const TileGrid grid = tileGrid(width, height);
    TileCanvas smallest = tileCanvas(width, height, motionMode);
    for (int row = 0; row < grid.rows; ++row) {
        for (int column = 0; column < grid.columns; ++column) {
            const ImageRect read = tileReadRect(grid, column, row, width, height);
            const TileCanvas canvas
                = tileCanvas(read.right - read.left, read.bottom - read.top, motionMode);
            smallest.width = std::min(smallest.width, canvas.width);
            smallest.height = std::min(smallest.height, canvas.height);
        }
    }
    return smallest;
}

int progressMaximum(int width, int height, const DeblurParams& params)
{
    const int edge = params.motionMode || params.importedKernel ? MotionProgressTileEdge : TileEdge;
    const TileGrid grid = tileGrid(width, height, edge);
    const int tiles = grid.columns * grid.rows;
    if (params.method == ProgressiveMethod)
        return tiles * progressiveSteps(params.power) + 3;
    if (params.method == SmoothingMethod)
        return tiles * smoothingSteps(params.power) + 4;
    return 0;
}

int deblurTiles(ImageBuffer* target, const ImageBuffer* source, const DeblurParams& params,
    const ProgressSink& progress)
{
    const int width = source->width;
    const int height = source->height;
    const TileGrid grid = tileGrid(width, height);
    int notDone = 0;
    for (int row = 0; row < grid.rows; ++row) {
        for (int column = 0; column < grid.columns; ++column) {
            const ImageRect read = tileReadRect(grid, column, row, width, height);
            const ImageRect write = tileWriteRect(grid, column, row, width, height);
            ImageBuffer input {};
            ImageBuffer output {};
            const int readWidth = read.right - read.left;
            const int readHeight = read.bottom - read.top;
            if (allocateImage(
                    &input, readWidth, readHeight, source->channels, source->bitsPerChannel)
                    != 0
                || allocateImage(
                       &output, readWidth, readHeight, source->channels, source->bitsPerChannel)
                    != 0) {
                // Without memory for the tile its area keeps the source's pixels.
                copyImageRect(target, source, {write.left, write.top}, {write.left, write.top},
                    {write.right - write.left, write.bottom - write.top});
                ++notDone;
            } else {
                copyImageRect(
                    &input, source, {0, 0}, {read.left, read.top}, {readWidth, readHeight});
                if (deblurOneTile(&output, &input, params, progress) == JobNotDone)
                    ++notDone;
                copyImageRect(target, &output, {write.left, write.top},
                    {write.left - read.left, write.top - read.top},
                    {write.right - write.left, write.bottom - write.top});
            }
            releaseImage(&input);
            releaseImage(&output);
        }
    }
    return notDone;
}

JobStatus runDeblurJob(ImageBuffer* target, const ImageBuffer* source, const DeblurParams& params,
    const ProgressSink& progress, JobReport* report)
{
    if (source->width > target->width || source->height > target->height || !isJobFormat(source)
        || !isJobFormat(target) || target->channels != source->channels
        || target->bitsPerChannel != source->bitsPerChannel)
        return JobNotDone;

    const int width = source->width;
    const int height = source->height;
    if (params.method == ProgressiveMethod || params.method == SmoothingMethod) {
        if (progress.setRange)
            progress.setRange(0, progressMaximum(width, height, params) & 0xFFFF);
    }
    if (progress.setPosition)
        progress.setPosition(1);

    const TileGrid grid = tileGrid(width, height);
    JobReport done;
    done.tiles = grid.columns * grid.rows;
    if (source->channels == 1) {
        done.tilesNotDone = deblurTiles(target, source, params, progress);
    } else {
        ColourPlanes planes;
        const int bits = source->bitsPerChannel;
        if (allocateImage(&planes.luma, width, height, 1, bits) != 0
            || allocateImage(&planes.deblurred, width, height, 1, bits) != 0
            || allocateImage(&planes.work, width, height, 3, bits) != 0)
            return JobNotDone;
        (void)rgbToLumaChroma(&planes.work, source);
        (void)extractChannel(&planes.luma, 0, &planes.work);
        done.tilesNotDone = deblurTiles(&planes.deblurred, &planes.luma, params, progress);
        (void)insertChannel(&planes.work, 0, &planes.deblurred);
        if (isAbortRequested())
            return JobAborted;
        (void)lumaChromaToRgb(target, &planes.work);
    }
    if (report)
        *report = done;
    return isAbortRequested() ? JobAborted : JobDone;
}
