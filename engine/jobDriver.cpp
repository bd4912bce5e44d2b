#include "engine/jobDriver.h"

#include "engine/colourPlanes.h"
#include "engine/deconvolution.h"
#include "engine/engineSettings.h"
#include "engine/tilePass.h"
#include "image/imageFormat.h"
#include "image/ownedImage.h"
#include "platform/memoryStatus.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr int MotionProgressTileEdge = 2800;

bool isJobFormat(const ImageBuffer* image)
{
    return image->data && (image->channels == 1 || image->channels == 3)
        && (image->bitsPerChannel == 8 || image->bitsPerChannel == 16);
}

// Copies a tile's input through when its pass did not run, so the caller never sees
// uninitialised pixels.
JobStatus deblurOneTile(TileWorkspace* workspace, ImageBuffer* output, const ImageBuffer* input,
    const DeblurParams& params, const ProgressSink& progress)
{
    const JobStatus status = deblurTileIn(workspace, output, input, params, progress);
    if (status == JobNotDone)
        copyImagePixels(output, input);
    return status;
}

struct ColourPlanes {
    OwnedImage luma;
    OwnedImage deblurred;
    OwnedImage work;
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

std::size_t jobMemoryNeed(
    int width, int height, int channels, int bitsPerChannel, const DeblurParams& params)
{
    const std::size_t plane
        = std::size_t(width) * std::size_t(height) * (bitsPerChannel > 8 ? 2 : 1);
    // Colour: the luma, its deblurred copy and the three converted planes.
    const std::size_t planes = channels == 3 ? 5 * plane : 0;
    const TileGrid grid = tileGrid(width, height);
    std::size_t tile = 0;
    for (int row = 0; row < grid.rows; ++row) {
        for (int column = 0; column < grid.columns; ++column) {
            const ImageRect read = tileReadRect(grid, column, row, width, height);
            tile = std::max(tile,
                tileMemoryNeed(
                    read.right - read.left, read.bottom - read.top, bitsPerChannel, params));
        }
    }
    return planes + tile;
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

namespace {

// What the tiles of one job read and where they write.
struct TileJob {
    ImageBuffer* target;
    const ImageBuffer* source;
    const DeblurParams* params;
    TileGrid grid;
};

// The part of a tile's write rectangle that no later tile in row order writes over. Tiles
// written one after another leave each overlap to the later tile; side by side, each tile
// writes only this part, so the result does not depend on which one finishes first.
ImageRect tileFinalRect(const TileGrid& grid, int column, int row, int width, int height)
{
    ImageRect rect = tileWriteRect(grid, column, row, width, height);
    if (column + 1 < grid.columns)
        rect.right = std::max(rect.left, tileWriteRect(grid, column + 1, row, width, height).left);
    if (row + 1 < grid.rows)
        rect.bottom = std::max(rect.top, tileWriteRect(grid, column, row + 1, width, height).top);
    return rect;
}

ImageRect tileReadRectOf(const TileJob& job, int index)
{
    return tileReadRect(job.grid, index % job.grid.columns, index / job.grid.columns,
        job.source->width, job.source->height);
}

std::size_t memoryOfTile(const TileJob& job, int index)
{
    const ImageRect read = tileReadRectOf(job, index);
    return tileMemoryNeed(
        read.right - read.left, read.bottom - read.top, job.source->bitsPerChannel, *job.params);
}

// Deblurs tile `index` (in row order) from the source into the target. Returns true when its
// pass did not run; its area then keeps the source's pixels.
bool deblurTileOfJob(
    TileWorkspace* workspace, const TileJob& job, int index, const ProgressSink& progress)
{
    const ImageBuffer* source = job.source;
    const ImageRect read = tileReadRectOf(job, index);
    const ImageRect final = tileFinalRect(job.grid, index % job.grid.columns,
        index / job.grid.columns, source->width, source->height);
    const int readWidth = read.right - read.left;
    const int readHeight = read.bottom - read.top;
    const ImageSize finalSize {final.right - final.left, final.bottom - final.top};
    ImageBuffer input {};
    ImageBuffer output {};
    bool notDone = false;
    if (allocateImage(&input, readWidth, readHeight, source->channels, source->bitsPerChannel) != 0
        || allocateImage(&output, readWidth, readHeight, source->channels, source->bitsPerChannel)
            != 0) {
        copyImageRect(
            job.target, source, {final.left, final.top}, {final.left, final.top}, finalSize);
        notDone = true;
    } else {
        copyImageRect(&input, source, {0, 0}, {read.left, read.top}, {readWidth, readHeight});
        notDone = deblurOneTile(workspace, &output, &input, *job.params, progress) == JobNotDone;
        copyImageRect(job.target, &output, {final.left, final.top},
            {final.left - read.left, final.top - read.top}, finalSize);
    }
    releaseImage(&input);
    releaseImage(&output);
    return notDone;
}

// Tiles on worker threads, as many at once as the sharing and the memory allow. The workers
// hand their progress steps to the calling thread, which passes them on: the caller's sink is
// only ever called from the thread that started the job.
struct SideBySideTiles {
    const TileJob* job = nullptr;
    int tiles = 0;
    long long memoryLimit = 0; // 0 = none beyond what the system has available
    std::mutex lock;
    std::condition_variable progressed; // steps to pass on, or a worker ended
    std::condition_variable tileEnded;
    int next = 0; // the next tile to start
    int running = 0;
    std::size_t reserved = 0; // the memory of the running tiles
    int mostAtOnce = 0;
    int notDone = 0;
    int pendingSteps = 0;
    int workersLeft = 0;
};

// Whether a tile needing `need` bytes may start beside the running ones: always when none runs
// (a tile short of memory is copied through, as when it runs alone); else only when the
// available memory, and the limit, hold it and every running tile's full need. The running
// tiles' own allocations are already missing from the available memory, so this is on the safe
// side.
bool mayStartTile(const SideBySideTiles& run, std::size_t need)
{
    if (run.running == 0)
        return true;
    const unsigned long long together = (unsigned long long)(need) + run.reserved;
    if (run.memoryLimit > 0 && together > (unsigned long long)(run.memoryLimit))
        return false;
    const long long available = availableMemoryBytes();
    return available < 0 || together <= (unsigned long long)(available);
}

void runTileWorker(SideBySideTiles* run, int passThreads, int transformThreads)
{
    const TileThreads share(passThreads, transformThreads);
    ProgressSink steps;
    steps.step = [run](int delta) {
        std::lock_guard lock(run->lock);
        run->pendingSteps += delta;
        run->progressed.notify_one();
    };
    TileWorkspace workspace;
    std::unique_lock lock(run->lock);
    for (;;) {
        std::size_t need = 0;
        // A worker that must wait for memory gives back its arrays first.
        if (run->next < run->tiles && workspace.width != 0
            && !mayStartTile(*run, memoryOfTile(*run->job, run->next)))
            releaseTileWorkspace(&workspace);
        run->tileEnded.wait(lock, [&] {
            if (run->next >= run->tiles || run->job->params->abort.requested())
                return true;
            need = memoryOfTile(*run->job, run->next);
            return mayStartTile(*run, need);
        });
        if (run->next >= run->tiles || run->job->params->abort.requested())
            break;
        const int index = run->next++;
        ++run->running;
        run->reserved += need;
        run->mostAtOnce = std::max(run->mostAtOnce, run->running);
        lock.unlock();
        const bool notDone = deblurTileOfJob(&workspace, *run->job, index, steps);
        lock.lock();
        --run->running;
        run->reserved -= need;
        if (notDone)
            ++run->notDone;
        run->tileEnded.notify_all();
    }
    releaseTileWorkspace(&workspace);
    --run->workersLeft;
    run->tileEnded.notify_all();
    run->progressed.notify_one();
}

// Starts a worker; returns true when the system refuses another thread.
[[nodiscard]] bool startTileWorker(
    std::vector<std::thread>* workers, SideBySideTiles* run, int passThreads, int transformThreads)
{
    {
        std::lock_guard lock(run->lock);
        ++run->workersLeft;
    }
    try {
        workers->emplace_back(runTileWorker, run, passThreads, transformThreads);
        return false;
    } catch (const std::system_error&) {
    } catch (const std::bad_alloc&) {
    }
    std::lock_guard lock(run->lock);
    --run->workersLeft;
    return true;
}

// Runs the tiles on up to `count` workers and passes their steps on; returns true, having done
// nothing, when no worker could be started.
[[nodiscard]] bool runSideBySide(SideBySideTiles* run, int count, int passThreads,
    int transformThreads, const ProgressSink& progress)
{
    std::vector<std::thread> workers;
    try {
        workers.reserve(std::size_t(count));
    } catch (const std::bad_alloc&) {
        return true;
    }
    for (int k = 0; k < count; ++k) {
        if (startTileWorker(&workers, run, passThreads, transformThreads))
            break;
    }
    if (workers.empty())
        return true;
    std::unique_lock lock(run->lock);
    for (;;) {
        run->progressed.wait(lock, [&] { return run->pendingSteps > 0 || run->workersLeft == 0; });
        const int steps = std::exchange(run->pendingSteps, 0);
        const bool ended = run->workersLeft == 0;
        lock.unlock();
        for (int i = 0; i < steps && progress.step; ++i)
            progress.step(1);
        lock.lock();
        if (ended && run->pendingSteps == 0)
            break;
    }
    lock.unlock();
    for (std::thread& worker : workers)
        worker.join();
    return false;
}

} // namespace

int deblurTiles(ImageBuffer* target, const ImageBuffer* source, const DeblurParams& params,
    const ProgressSink& progress, int* tilesAtOnce)
{
    const TileJob job {target, source, &params, tileGrid(source->width, source->height)};
    const int tiles = job.grid.columns * job.grid.rows;
    const TileSharing sharing = tileSharing(tiles);
    if (sharing.tilesAtOnce > 1) {
        SideBySideTiles run;
        run.job = &job;
        run.tiles = tiles;
        run.memoryLimit = engineSettings().tileMemoryLimit;
        const int passThreads = std::max(1, engineThreads() / sharing.tilesAtOnce);
        if (!runSideBySide(
                &run, sharing.tilesAtOnce, passThreads, sharing.transformThreads, progress)) {
            if (tilesAtOnce)
                *tilesAtOnce = run.mostAtOnce;
            return run.notDone;
        }
    }
    // One tile at a time, on the calling thread with all the threads.
    const TileThreads share(engineThreads(), sharing.transformThreads);
    TileWorkspace workspace;
    int notDone = 0;
    for (int index = 0; index < tiles; ++index) {
        if (deblurTileOfJob(&workspace, job, index, progress))
            ++notDone;
    }
    releaseTileWorkspace(&workspace);
    if (tilesAtOnce)
        *tilesAtOnce = tiles > 0 ? 1 : 0;
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
        done.tilesNotDone = deblurTiles(target, source, params, progress, &done.tilesAtOnce);
    } else {
        ColourPlanes planes;
        const int bits = source->bitsPerChannel;
        if (allocateImage(planes.luma.get(), width, height, 1, bits) != 0
            || allocateImage(planes.deblurred.get(), width, height, 1, bits) != 0
            || allocateImage(planes.work.get(), width, height, 3, bits) != 0)
            return JobNotDone;
        // The records were made for these formats just above, so the conversions only fail if
        // that ever stops being so; the target is then left untouched.
        if (rgbToLumaChroma(planes.work.get(), source)
            || extractChannel(planes.luma.get(), 0, planes.work.get()))
            return JobNotDone;
        done.tilesNotDone = deblurTiles(
            planes.deblurred.get(), planes.luma.get(), params, progress, &done.tilesAtOnce);
        if (params.abort.requested())
            return JobAborted;
        if (insertChannel(planes.work.get(), 0, planes.deblurred.get())
            || lumaChromaToRgb(target, planes.work.get()))
            return JobNotDone;
    }
    if (report)
        *report = done;
    return params.abort.requested() ? JobAborted : JobDone;
}
