#include "engine/blurSpectrum.h"

#include <algorithm>
#include <cmath>

namespace {

// At most MaxTiles tiles of MaxTileSide a side are measured, whatever the photograph's size.
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

BlurEstimateStatus measureSpectrum(const LumaReader& luma, const std::vector<Tile>& tiles, int side,
    Spectrum* spectrum, AbortToken abort)
{
    ComplexGrid grid(side);
    std::vector<double> window(static_cast<std::size_t>(side));
    for (int i = 0; i < side; ++i)
        window[std::size_t(i)] = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * (i + 0.5) / side);
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

} // namespace

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
