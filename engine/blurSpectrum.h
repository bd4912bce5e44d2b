#pragma once

// What both blur estimates measure: the power spectrum averaged over the most textured,
// windowed tiles of a picture's luma, and its radial profile. Shared by the out-of-focus fit
// (defocusEstimate.cpp) and the shake search (shakeEstimate.cpp); not part of the engine's
// interface.

#include "engine/blurEstimate.h"
#include "engine/complexFft.h"

#include <numbers>
#include <vector>

// A side x side complex array for complexFft2d, with its work areas.
class ComplexGrid {
public:
    explicit ComplexGrid(int side)
        : side(side)
        , values(std::size_t(side) * side * 2)
        , rows(std::size_t(side))
        , index(complexFftIndexSize(side, 2 * side))
        , table(complexFftTableSize(side, 2 * side))
        , scratch(complexFftScratchSize(side))
    {
        for (int y = 0; y < side; ++y)
            rows[std::size_t(y)] = values.data() + std::size_t(y) * 2 * side;
        index[0] = 0;
    }
    double& re(int x, int y) { return rows[std::size_t(y)][2 * x]; }
    double& im(int x, int y) { return rows[std::size_t(y)][2 * x + 1]; }
    bool transform(int sign)
    {
        return complexFft2d(
            side, 2 * side, sign, rows.data(), scratch.data(), index.data(), table.data());
    }

    int side;

private:
    std::vector<double> values;
    std::vector<double*> rows;
    std::vector<int> index;
    std::vector<double> table;
    std::vector<double> scratch;
};

// Signed frequency of FFT index k on a side of n, in cycles a pixel.
inline double frequency(int k, int n)
{
    return double(k < n / 2 ? k : k - n) / n;
}

// The mean power spectrum of the windowed tiles, side x side, in the transform's order.
struct Spectrum {
    int side = 0;
    std::vector<double> power;
    double at(int u, int v) const { return power[std::size_t(v) * side + u]; }
};

// The spectrum averaged over rings one frequency step wide: element b is the ring at b / side
// cycles a pixel, up to half a cycle.
std::vector<double> radialProfile(const Spectrum& spectrum);

// Tiles and spectrum of a region (clipped to the picture into `clipped`). Returns Found, or why
// not.
BlurEstimateStatus regionSpectrum(const ImageBuffer* image, ImageRect region, Spectrum* spectrum,
    ImageRect* clipped, AbortToken abort);

// Found when the confidence reaches EstimateConfidenceNeeded, else Unsure.
BlurEstimateStatus decided(double confidence);
