// The straight camera shake that made a photograph: the spectrum, whitened and weighted as a
// second derivative along a direction, gives the autocorrelation of that derivative, which a
// shake of length l along the direction turns into a deep minimum at lag l (its two ends).

#include "engine/blurSpectrum.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

// Tuned with bench/estimateBench, as the out-of-focus fit is.
//
// The band a pixel grid holds alike in every direction: whole up to FlatBand cycles a pixel,
// fading out by a raised cosine up to half a cycle.
constexpr double FlatBand = 0.35;
constexpr double BandEnd = 0.5;
// The lags searched, in pixels: shorter shakes hide in the picture's own texture, and a lag
// beyond a third of the tile holds too few pairs.
constexpr double ShortestLag = 5.0;
constexpr double LongestLag = 80.0;
constexpr double LagStep = 0.25;
// A shake's two ends give a dip of about half the central value (less with noise); a sharp
// picture's own texture gives dips of up to a third at short lags. The confidence rises from 0
// at a dip of OwnTextureDip beyond the median to 1 at DipForCertainty more.
constexpr double OwnTextureDip = 0.25;
constexpr double DipForCertainty = 0.15;

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
                const double fade = (rho - FlatBand) / (BandEnd - FlatBand);
                const double band = rho < FlatBand ? 1.0
                    : rho < BandEnd ? std::pow(std::cos(fade * std::numbers::pi / 2), 2)
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
            const double c = std::cos(angle * std::numbers::pi / 180.0);
            const double s = -std::sin(angle * std::numbers::pi / 180.0);
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
        const double longest = std::min(n / 3.0, LongestLag);
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
        estimate.confidence
            = std::clamp((typical - finest - OwnTextureDip) / DipForCertainty, 0.0, 1.0);
        estimate.angle = std::fmod(bestAngle + 180.0, 180.0);

        // A line drawn between two points a distance d apart covers about d plus one pixel
        // along its longer axis, which is what the lag measures.
        const double c = std::cos(estimate.angle * std::numbers::pi / 180.0);
        const double s = -std::sin(estimate.angle * std::numbers::pi / 180.0);
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
