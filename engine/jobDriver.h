#pragma once

// The deblur of a whole image: the gray or colour path, the division into overlapping tiles,
// the progress range and the abort checks around the per-tile pass.

#include "engine/deblurParams.h"
#include "engine/jobStatus.h"
#include "engine/progress.h"
#include "engine/tilePass.h"

constexpr int TileEdge = 1500; // nominal tile size of the grid
constexpr int TileContext = 150; // pixels read beyond a tile on each side
constexpr int TileOverlap = 75; // pixels written beyond a tile on each side

struct TileGrid {
    int columns; // nx
    int rows; // ny
    int tileWidth; // nominal; the last column and row may extend past the image
    int tileHeight;
};

TileGrid tileGrid(int width, int height, int tileEdge = TileEdge);

// Where tile (column, row) of a grid over a width x height image is read and written.
ImageRect tileReadRect(const TileGrid& grid, int column, int row, int width, int height);
ImageRect tileWriteRect(const TileGrid& grid, int column, int row, int width, int height);

// The progress range a job announces: tiles of the nominal edge the mode suggests, times the
// steps per tile, plus the steps outside the tiles. 0 for an unknown method.
int progressMaximum(int width, int height, const DeblurParams& params);

// The smallest FFT canvas among the tiles of a width x height image: a kernel must fit it for
// every tile to run.
TileCanvas smallestTileCanvas(int width, int height, bool motionMode);

// The most memory a job on a width x height image of `channels` (1 or 3) and `bitsPerChannel`
// holds at once with `params` (method, mode, canvas): the colour planes and the largest tile's
// pass. More tiles run side by side only where the memory beyond this is available.
std::size_t jobMemoryNeed(
    int width, int height, int channels, int bitsPerChannel, const DeblurParams& params);

// What a job did beyond its status.
struct JobReport {
    int tiles = 0;
    // Tiles whose input was copied through unchanged: too small, a kernel too large for their
    // canvas, or memory exhausted for their pass or for softening their margins.
    int tilesNotDone = 0;
    int tilesAtOnce = 0; // the most tiles that ran side by side
};

// Deblurs `source` (1 or 3 channels, 8 or 16 bits) into `target` (allocated with the source's
// format and at least its size) with params.kernel. Returns JobNotDone, with no other effect,
// for a target smaller than the source or records of another format, and when memory for the
// colour planes is exhausted; JobAborted when params.abort was set at the end (the target is
// then not meaningful). JobDone means every tile ran or was copied through: a job with tiles not
// done still returns JobDone, with their count in `report`, and the target holds the deblurred
// tiles beside the unchanged ones. Callers that show the result tell the user about those
// tiles (the batch tool refuses to write such a result).
[[nodiscard]] JobStatus runDeblurJob(ImageBuffer* target, const ImageBuffer* source,
    const DeblurParams& params, const ProgressSink& progress, JobReport* report = nullptr);

// Deblurs a one-channel source into a one-channel target tile by tile, as many tiles side by
// side as tileSharing and the available memory allow; the result is the same for any number.
// Progress is reported from the calling thread only. Returns the number of tiles whose pass did
// not run; their input is copied through unchanged. `tilesAtOnce` receives the most tiles that
// ran side by side.
[[nodiscard]] int deblurTiles(ImageBuffer* target, const ImageBuffer* source,
    const DeblurParams& params, const ProgressSink& progress, int* tilesAtOnce = nullptr);
