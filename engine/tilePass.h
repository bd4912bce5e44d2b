#pragma once

// One tile of one plane through the deconvolution: padded with a smooth margin, placed on a
// power-of-two FFT canvas with the kernel wrapped around the origin, iterated by the chosen
// method and converted back into the tile's sample format.

#include "engine/deblurParams.h"
#include "engine/jobStatus.h"
#include "engine/progress.h"
#include "engine/realFft.h"

#include <cstddef>

constexpr int MinTileEdge = 50;

// The padding around a tile on each side is half of this.
constexpr int tileMargin(bool motionMode)
{
    return motionMode ? 1000 : 200;
}

// The number of bits of `value`: the order of the smallest power of two that is not below
// value + 1.
int bitCount(int value);

struct TileCanvas {
    int margin; // pixels of softened border added around the tile on each axis
    // The powers of two the padded tile fits: 2^(bitCount(tile width + margin - 1)), and the
    // same for the height.
    int width;
    int height;
};

TileCanvas tileCanvas(int tileWidth, int tileHeight, bool motionMode);
// The canvas a tile of `params` is deconvolved on: the mode's padding, and a power of two on each
// axis or, for a compact canvas, the smallest even product of primes up to 13 that holds the padded
// tile.
TileCanvas tileCanvasOf(int tileWidth, int tileHeight, const DeblurParams& params);

// The memory one tile of width x height samples holds at its peak with `params`' method: its
// input and output, the padded copy and the canvas arrays.
std::size_t tileMemoryNeed(int width, int height, int bitsPerChannel, const DeblurParams& params);

// The canvas arrays of a tile. A thread running several tiles keeps them from one tile to the
// next of the same canvas size, so that each tile neither maps its memory anew nor takes the
// page faults of touching it the first time.
struct TileWorkspace {
    static constexpr int FloatArrays = 8;
    static constexpr int SpectrumArrays = 2;
    int width = 0; // of the canvas the arrays were made for
    int height = 0;
    float* floats[FloatArrays] = {}; // image, kernel, observed, correction, previous,
                                     // extrapolation and the two logarithms: as many as the
                                     // method needs
    SpectrumValue* spectra[SpectrumArrays] = {};
};
void releaseTileWorkspace(TileWorkspace* workspace);

// Deconvolves the one-channel 8- or 16-bit `input` into `output` of the same size with
// params.kernel. Returns JobNotDone without writing the output for a tile of more than one
// channel or under 50 pixels on a side, a kernel that does not fit the canvas, or exhausted
// memory; JobAborted when params.abort was set (the output is then not meaningful).
JobStatus deblurTile(ImageBuffer* output, const ImageBuffer* input, const DeblurParams& params,
    const ProgressSink& progress);
// deblurTile with the canvas arrays of `workspace`, made or remade as the tile needs; the
// caller releases it.
JobStatus deblurTileIn(TileWorkspace* workspace, ImageBuffer* output, const ImageBuffer* input,
    const DeblurParams& params, const ProgressSink& progress);
