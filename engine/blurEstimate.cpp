#include "engine/blurEstimate.h"

#include "engine/complexFft.h"
#include "engine/deblurParams.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr int MaxTileSide = 256;
constexpr int MaxTiles = 16;
// Mean gradient, in 8-bit levels a pixel, under which a tile is flat: nothing to measure there.
constexpr double FlatTexture = 0.4;

// Luma on the 8-bit scale, whatever the depth: 0.299 R + 0.587 G + 0.114 B.
class LumaReader {
public:
    explicit LumaReader(const ImageBuffer* image)
        : image(image)
        , scale(image->bitsPerChannel == 16 ? 255.0 / 65535.0 : 1.0)
    {
    }
    double at(int x, int y) const
    {
        const std::uint8_t* row = image->data + std::int64_t(y) * image->stride;
        if (image->bitsPerChannel == 16) {
            const auto* words = reinterpret_cast<const std::uint16_t*>(row) + x * image->channels;
            return scale * (image->channels == 1 ? double(words[0]) : mix(words));
        }
        const std::uint8_t* bytes = row + x * image->channels;
        return image->channels == 1 ? double(bytes[0]) : mix(bytes);
    }

private:
    template <typename Sample> static double mix(const Sample* bgr)
    {
        return 0.114 * bgr[0] + 0.587 * bgr[1] + 0.299 * bgr[2];
    }
    const ImageBuffer* image;
    double scale;
};

BlurEstimateStatus clipRegion(const ImageBuffer* image, ImageRect region, ImageRect* clipped)
{
    if (region.right <= region.left || region.bottom <= region.top)
        region = {0, 0, image->width, image->height};
    clipped->left = std::max(region.left, 0);
    clipped->top = std::max(region.top, 0);
    clipped->right = std::min(region.right, image->width);
    clipped->bottom = std::min(region.bottom, image->height);
    if (clipped->right <= clipped->left || clipped->bottom <= clipped->top)
        return BlurEstimateStatus::RegionOutside;
    if (clipped->right - clipped->left < MinEstimateSide
        || clipped->bottom - clipped->top < MinEstimateSide)
        return BlurEstimateStatus::TooSmall;
    return BlurEstimateStatus::Found;
}

struct Tile {
    int x;
    int y;
    double texture;
};

// The most textured tiles of the region, most textured first; none when all are flat.
std::vector<Tile> texturedTiles(const LumaReader& luma, ImageRect region, int side)
{
    const auto starts = [side](int begin, int end) {
        std::vector<int> positions;
        for (int p = begin; p + side <= end; p += side / 2)
            positions.push_back(p);
        if (positions.back() + side < end)
            positions.push_back(end - side);
        return positions;
    };
    std::vector<Tile> tiles;
    for (int y : starts(region.top, region.bottom)) {
        for (int x : starts(region.left, region.right)) {
            // Mean absolute gradient over a sparse grid: enough to rank tiles.
            double sum = 0.0;
            int count = 0;
            for (int j = 1; j < side; j += 4) {
                for (int i = 1; i < side; i += 4) {
                    const double centre = luma.at(x + i, y + j);
                    sum += std::fabs(centre - luma.at(x + i - 1, y + j))
                        + std::fabs(centre - luma.at(x + i, y + j - 1));
                    ++count;
                }
            }
            const double texture = sum / count;
            if (texture >= FlatTexture)
                tiles.push_back({x, y, texture});
        }
    }
    std::sort(tiles.begin(), tiles.end(),
        [](const Tile& a, const Tile& b) { return a.texture > b.texture; });
    if (tiles.size() > std::size_t(MaxTiles))
        tiles.resize(MaxTiles);
    return tiles;
}

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
double frequency(int k, int n)
{
    return double(k < n / 2 ? k : k - n) / n;
}

// The mean power spectrum of the windowed tiles, side x side, in the transform's order.
struct Spectrum {
    int side = 0;
    std::vector<double> power;
    double at(int u, int v) const { return power[std::size_t(v) * side + u]; }
};

BlurEstimateStatus measureSpectrum(const LumaReader& luma, const std::vector<Tile>& tiles, int side,
    Spectrum* spectrum, AbortToken abort)
{
    ComplexGrid grid(side);
    std::vector<double> window(static_cast<std::size_t>(side));
    for (int i = 0; i < side; ++i)
        window[std::size_t(i)] = 0.5 - 0.5 * std::cos(2.0 * Pi * (i + 0.5) / side);
    spectrum->side = side;
    spectrum->power.assign(std::size_t(side) * side, 0.0);
    for (const Tile& tile : tiles) {
        if (abort.requested())
            return BlurEstimateStatus::Aborted;
        double mean = 0.0;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                mean += luma.at(tile.x + x, tile.y + y);
        mean /= double(side) * side;
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                grid.re(x, y) = (luma.at(tile.x + x, tile.y + y) - mean) * window[std::size_t(x)]
                    * window[std::size_t(y)];
                grid.im(x, y) = 0.0;
            }
        }
        if (grid.transform(-1))
            return BlurEstimateStatus::OutOfMemory;
        for (int v = 0; v < side; ++v)
            for (int u = 0; u < side; ++u)
                spectrum->power[std::size_t(v) * side + u]
                    += grid.re(u, v) * grid.re(u, v) + grid.im(u, v) * grid.im(u, v);
    }
    for (double& value : spectrum->power)
        value /= double(tiles.size()) * side * side;
    return BlurEstimateStatus::Found;
}

// The spectrum averaged over rings one frequency step wide: element b is the ring at b / side
// cycles a pixel, up to half a cycle.
std::vector<double> radialProfile(const Spectrum& spectrum)
{
    const int n = spectrum.side;
    std::vector<double> sums(std::size_t(n / 2 + 1), 0.0);
    std::vector<int> counts(sums.size(), 0);
    for (int v = 0; v < n; ++v) {
        for (int u = 0; u < n; ++u) {
            const double rho = std::hypot(frequency(u, n), frequency(v, n)) * n;
            const int bin = int(std::lround(rho));
            if (bin <= n / 2) {
                sums[std::size_t(bin)] += spectrum.at(u, v);
                ++counts[std::size_t(bin)];
            }
        }
    }
    for (std::size_t b = 0; b < sums.size(); ++b)
        sums[b] = counts[b] > 0 ? sums[b] / counts[b] : 0.0;
    return sums;
}

// The out-of-focus spot's transfer function: the spot is exp(-r / L) with L = 2 s^2.
double spotTransfer(int detail, double rho)
{
    const double s = defocusSpread(detail);
    const double length = 2.0 * s * s;
    const double a = 2.0 * Pi * length * rho;
    return std::pow(1.0 + a * a, -1.5);
}

// A lens's out-of-focus disk of radius R: 2 J1(2 pi R rho) / (2 pi R rho).
double diskTransfer(double radius, double rho)
{
    const double a = 2.0 * Pi * radius * rho;
    return a < 1e-9 ? 1.0 : 2.0 * std::cyl_bessel_j(1.0, a) / a;
}

// The level whose deblurring suits a disk of radius R best: a disk has no long tail, so its
// best level lies below the spot whose spectrum falls alike (measured with bench/estimateBench
// on photographs blurred by disks of radius 2 to 10).
int levelForDisk(double radius)
{
    return std::clamp(int(std::lround(3.1 * radius + 8.0)), 1, 50);
}

// The smallest relative misfit of A * rho^-alpha * |H|^2 + N to the profile over alpha, for
// one transfer function; A and N by least squares of the relative error, N at least 0.
template <typename Transfer>
double spectrumMisfit(const std::vector<double>& profile, int first, Transfer transfer)
{
    const int n = int(profile.size()) - 1; // side / 2
    // Per ring: its frequency's logarithm and the transfer function's power, computed once.
    std::vector<double> logRho(profile.size());
    std::vector<double> power(profile.size());
    for (int b = first; b < n; ++b) {
        const double rho = double(b) / (2 * n);
        const double h = transfer(rho);
        logRho[std::size_t(b)] = std::log(rho);
        power[std::size_t(b)] = h * h;
    }
    double best = INFINITY;
    for (int step = 0; step <= 30; ++step) {
        const double alpha = 0.8 + 0.1 * step;
        double sxx = 0.0;
        double sxy = 0.0;
        double syy = 0.0;
        double sx = 0.0;
        double sy = 0.0;
        for (int b = first; b < n; ++b) {
            const double g = std::exp(-alpha * logRho[std::size_t(b)]) * power[std::size_t(b)];
            const double x = g / profile[std::size_t(b)];
            const double y = 1.0 / profile[std::size_t(b)];
            sxx += x * x;
            sxy += x * y;
            syy += y * y;
            sx += x;
            sy += y;
        }
        const double determinant = sxx * syy - sxy * sxy;
        double a = determinant > 0.0 ? (sx * syy - sy * sxy) / determinant : 0.0;
        double noise = determinant > 0.0 ? (sy * sxx - sx * sxy) / determinant : 0.0;
        if (noise < 0.0 || determinant <= 0.0) {
            noise = 0.0;
            a = sxx > 0.0 ? sx / sxx : 0.0;
        }
        if (a <= 0.0)
            continue;
        double misfit = 0.0;
        for (int b = first; b < n; ++b) {
            const double model
                = a * std::exp(-alpha * logRho[std::size_t(b)]) * power[std::size_t(b)] + noise;
            const double error = std::log(model / profile[std::size_t(b)]);
            misfit += error * error;
        }
        best = std::min(best, misfit);
    }
    return best;
}

// Tiles and spectrum of a region, shared by both estimates. Returns Found, or why not.
BlurEstimateStatus regionSpectrum(const ImageBuffer* image, ImageRect region, Spectrum* spectrum,
    ImageRect* clipped, AbortToken abort)
{
    if (!image || !image->data || (image->channels != 1 && image->channels != 3)
        || (image->bitsPerChannel != 8 && image->bitsPerChannel != 16))
        return BlurEstimateStatus::Unsure;
    const BlurEstimateStatus clip = clipRegion(image, region, clipped);
    if (clip != BlurEstimateStatus::Found)
        return clip;
    const int shorter = std::min(clipped->right - clipped->left, clipped->bottom - clipped->top);
    int side = MaxTileSide;
    while (side > shorter)
        side /= 2;
    const LumaReader luma(image);
    const std::vector<Tile> tiles = texturedTiles(luma, *clipped, side);
    if (tiles.empty())
        return BlurEstimateStatus::Unsure;
    return measureSpectrum(luma, tiles, side, spectrum, abort);
}

BlurEstimateStatus decided(double confidence)
{
    return confidence >= EstimateConfidenceNeeded ? BlurEstimateStatus::Found
                                                  : BlurEstimateStatus::Unsure;
}

// Bilinear sample of a side x side periodic array at (x, y).
double periodicAt(const std::vector<double>& values, int side, double x, double y)
{
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const double tx = x - fx;
    const double ty = y - fy;
    const auto at = [&](int i, int j) {
        const int u = ((i % side) + side) % side;
        const int v = ((j % side) + side) % side;
        return values[std::size_t(v) * side + u];
    };
    const int i = int(fx);
    const int j = int(fy);
    return (1 - ty) * ((1 - tx) * at(i, j) + tx * at(i + 1, j))
        + ty * ((1 - tx) * at(i, j + 1) + tx * at(i + 1, j + 1));
}

} // namespace

DefocusEstimate estimateDefocusLevel(const ImageBuffer* image, ImageRect region, AbortToken abort)
{
    DefocusEstimate estimate;
    try {
        Spectrum spectrum;
        ImageRect clipped {};
        estimate.status = regionSpectrum(image, region, &spectrum, &clipped, abort);
        if (estimate.status != BlurEstimateStatus::Found)
            return estimate;
        const std::vector<double> profile = radialProfile(spectrum);
        const int first = std::max(3, spectrum.side / 64);
        for (std::size_t b = std::size_t(first); b < profile.size(); ++b) {
            if (!(profile[b] > 0.0)) {
                estimate.status = BlurEstimateStatus::Unsure;
                return estimate;
            }
        }
        double best = INFINITY;
        double sharp = INFINITY;
        for (int detail = 1; detail <= 50; ++detail) {
            const double misfit = spectrumMisfit(
                profile, first, [detail](double rho) { return spotTransfer(detail, rho); });
            if (detail == 1)
                sharp = misfit;
            if (misfit < best) {
                best = misfit;
                estimate.detail = detail;
            }
        }
        // A lens's disk: its spectrum has rings the spot's has not. When a disk explains the
        // picture clearly better, the level is the one that deblurs that disk best.
        double bestDisk = INFINITY;
        double radius = 0.0;
        for (double r = 1.0; r <= 12.0; r += 0.25) {
            const double misfit
                = spectrumMisfit(profile, first, [r](double rho) { return diskTransfer(r, rho); });
            if (misfit < bestDisk) {
                bestDisk = misfit;
                radius = r;
            }
        }
        if (bestDisk < 0.8 * best) {
            best = bestDisk;
            estimate.detail = levelForDisk(radius);
        }
        estimate.confidence = sharp > 0.0 ? std::clamp(2.0 * (1.0 - best / sharp), 0.0, 1.0) : 0.0;
        estimate.status = decided(estimate.confidence);
    } catch (const std::bad_alloc&) {
        estimate.status = BlurEstimateStatus::OutOfMemory;
    }
    return estimate;
}

ShakeEstimate estimateShake(const ImageBuffer* image, ImageRect region, AbortToken abort)
{
    ShakeEstimate estimate;
    try {
        Spectrum spectrum;
        ImageRect clipped {};
        estimate.status = regionSpectrum(image, region, &spectrum, &clipped, abort);
        if (estimate.status != BlurEstimateStatus::Found)
            return estimate;
        const int n = spectrum.side;
        const std::vector<double> profile = radialProfile(spectrum);
        // The noise floor: what the highest frequencies hold.
        double floor = 0.0;
        int floorBins = 0;
        for (int b = n * 7 / 16; b <= n / 2; ++b, ++floorBins)
            floor += profile[std::size_t(b)];
        floor /= floorBins;

        // Whitened (rho^2, for a natural picture's falling spectrum) and weighted by u^2, u v
        // and v^2: the second derivative along any direction follows.
        ComplexGrid uu(n);
        ComplexGrid uv(n);
        ComplexGrid vv(n);
        for (int v = 0; v < n; ++v) {
            for (int u = 0; u < n; ++u) {
                const double fu = frequency(u, n);
                const double fv = frequency(v, n);
                const double rho2 = fu * fu + fv * fv;
                const double power = spectrum.at(u, v);
                // Only where the signal stands clear of the noise (the averaged spectrum itself
                // wavers by a quarter or so), and within the band a pixel grid holds the same in
                // every direction.
                const double clear = std::clamp((power / floor - 2.0) / 2.0, 0.0, 1.0);
                const double rho = std::sqrt(rho2);
                const double band = rho < 0.35 ? 1.0
                    : rho < 0.5                ? std::pow(std::cos((rho - 0.35) / 0.15 * Pi / 2), 2)
                                               : 0.0;
                const double white = (power - floor) * clear * band * rho2;
                uu.re(u, v) = white * fu * fu;
                uv.re(u, v) = white * fu * fv;
                vv.re(u, v) = white * fv * fv;
                uu.im(u, v) = uv.im(u, v) = vv.im(u, v) = 0.0;
            }
        }
        if (uu.transform(1) || uv.transform(1) || vv.transform(1)) {
            estimate.status = BlurEstimateStatus::OutOfMemory;
            return estimate;
        }
        std::vector<double> ruu(std::size_t(n) * n);
        std::vector<double> ruv(ruu.size());
        std::vector<double> rvv(ruu.size());
        for (int y = 0; y < n; ++y) {
            for (int x = 0; x < n; ++x) {
                ruu[std::size_t(y) * n + x] = uu.re(x, y);
                ruv[std::size_t(y) * n + x] = uv.re(x, y);
                rvv[std::size_t(y) * n + x] = vv.re(x, y);
            }
        }
        // The autocorrelation of the second derivative along angle a (counter-clockwise on
        // screen, so y goes up), at lag l along it, over its value at lag 0.
        const auto correlation = [&](double angle, double lag) {
            const double c = std::cos(angle * Pi / 180.0);
            const double s = -std::sin(angle * Pi / 180.0);
            const auto directional = [&](double x, double y) {
                return c * c * periodicAt(ruu, n, x, y) + 2.0 * c * s * periodicAt(ruv, n, x, y)
                    + s * s * periodicAt(rvv, n, x, y);
            };
            const double zero = directional(0.0, 0.0);
            return zero > 0.0 ? directional(lag * c, lag * s) / zero : 0.0;
        };
        // Each direction's value at each lag, less the median over directions at that lag: a
        // shake is a minimum in one direction only, while the picture's own structure and the
        // noise give minima in all of them.
        const double longest = std::min(n / 3.0, 80.0);
        constexpr double LagStep = 0.25;
        constexpr double ShortestLag = 5.0;
        const int lags = int((longest - ShortestLag) / LagStep) + 1;
        std::vector<double> values(std::size_t(180) * lags);
        std::vector<double> medians(static_cast<std::size_t>(lags));
        std::vector<double> column(180);
        for (int l = 0; l < lags; ++l) {
            for (int angle = 0; angle < 180; ++angle)
                column[std::size_t(angle)] = values[std::size_t(angle) * lags + l]
                    = correlation(angle, ShortestLag + l * LagStep);
            std::nth_element(column.begin(), column.begin() + 90, column.end());
            medians[std::size_t(l)] = column[90];
        }
        double deepest = 0.0;
        double bestAngle = 0.0;
        double bestLag = 0.0;
        double typical = 0.0;
        for (int angle = 0; angle < 180; ++angle) {
            for (int l = 0; l < lags; ++l) {
                const double score
                    = values[std::size_t(angle) * lags + l] - medians[std::size_t(l)];
                if (score < deepest) {
                    deepest = score;
                    bestAngle = angle;
                    bestLag = ShortestLag + l * LagStep;
                    typical = medians[std::size_t(l)];
                }
            }
        }
        if (!(deepest < 0.0)) {
            estimate.status = BlurEstimateStatus::Unsure;
            return estimate;
        }
        // A finer look around the deepest point, against the same median.
        double finest = deepest + typical;
        const double coarseAngle = bestAngle;
        const double coarseLag = bestLag;
        for (double angle = coarseAngle - 1.0; angle <= coarseAngle + 1.0; angle += 0.1) {
            for (double lag = coarseLag - 0.5; lag <= coarseLag + 0.5; lag += 0.05) {
                const double value = correlation(angle, lag);
                if (value < finest) {
                    finest = value;
                    bestAngle = angle;
                    bestLag = lag;
                }
            }
        }
        // A shake's two ends give a dip of about half the central value (less with noise); a
        // sharp picture's own texture gives dips of up to a third at short lags.
        estimate.confidence = std::clamp((typical - finest - 0.25) / 0.15, 0.0, 1.0);
        estimate.angle = std::fmod(bestAngle + 180.0, 180.0);

        // A line drawn between two points a distance d apart covers about d plus one pixel
        // along its longer axis, which is what the lag measures.
        const double c = std::cos(estimate.angle * Pi / 180.0);
        const double s = -std::sin(estimate.angle * Pi / 180.0);
        estimate.length = std::max(2.0, bestLag - 1.0 / std::max(std::fabs(c), std::fabs(s)));
        const double cx = (clipped.left + clipped.right) / 2.0;
        const double cy = (clipped.top + clipped.bottom) / 2.0;
        estimate.from = {cx - c * estimate.length / 2, cy - s * estimate.length / 2, 0};
        estimate.to = {cx + c * estimate.length / 2, cy + s * estimate.length / 2, 0};
        estimate.status = decided(estimate.confidence);
    } catch (const std::bad_alloc&) {
        estimate.status = BlurEstimateStatus::OutOfMemory;
    }
    return estimate;
}

const char* blurEstimateProblem(BlurEstimateStatus status)
{
    switch (status) {
    case BlurEstimateStatus::Found:
        return "";
    case BlurEstimateStatus::Unsure:
        return "the blur could not be estimated with confidence (a flat or noisy picture, or no "
               "blur of this kind)";
    case BlurEstimateStatus::RegionOutside:
        return "the region lies outside the picture";
    case BlurEstimateStatus::TooSmall:
        return "the picture or region is too small to estimate the blur (at least 64 x 64 "
               "pixels)";
    case BlurEstimateStatus::OutOfMemory:
        return "not enough memory to estimate the blur";
    case BlurEstimateStatus::Aborted:
        return "the estimate was stopped";
    }
    return "";
}
