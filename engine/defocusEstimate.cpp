// The level of details that best explains a photograph's spectrum: for every level, the radial
// profile is fitted by A * rho^-alpha * |H(rho)|^2 + N (a natural picture's falling spectrum, the
// spot's transfer function H, a noise floor); a lens's disk is tried beside the spot.

#include "engine/blurSpectrum.h"
#include "engine/deblurParams.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

// The tuning below was set with bench/estimateBench on the photographs of Debian's
// python3-skimage (the README gives the hit rates it reaches).
//
// The falling spectrum of a natural picture, rho^-alpha, is tried for alpha from
// FirstSlope in steps of SlopeStep.
constexpr double FirstSlope = 0.8;
constexpr double SlopeStep = 0.1;
constexpr int SlopeSteps = 30;
// Lens disks tried, in pixels of radius.
constexpr double SmallestDisk = 1.0;
constexpr double LargestDisk = 12.0;
constexpr double DiskStep = 0.25;
// A disk wins over the spot only when its misfit is below this share of the spot's: the spot
// fits every picture a little, a disk's rings only a lens's blur.
constexpr double DiskWins = 0.8;
// The confidence: how much of the sharp picture's misfit (level 1) the best level removes,
// scaled so that removing half of it is certain.
constexpr double ConfidenceScale = 2.0;

// The out-of-focus spot's transfer function: the spot is exp(-r / L) with L = 2 s^2.
double spotTransfer(int detail, double rho)
{
    const double s = defocusSpread(detail);
    const double length = 2.0 * s * s;
    const double a = 2.0 * std::numbers::pi * length * rho;
    return std::pow(1.0 + a * a, -1.5);
}

// A lens's out-of-focus disk of radius R: 2 J1(2 pi R rho) / (2 pi R rho).
double diskTransfer(double radius, double rho)
{
    const double a = 2.0 * std::numbers::pi * radius * rho;
    return a < 1e-9 ? 1.0 : 2.0 * std::cyl_bessel_j(1.0, a) / a;
}

// The level whose deblurring suits a disk of radius R best: a disk has no long tail, so its
// best level lies below the spot whose spectrum falls alike (measured with bench/estimateBench
// on photographs blurred by disks of radius 2 to 10).
int levelForDisk(double radius)
{
    return std::clamp(int(std::lround(3.1 * radius + 8.0)), MinDetail, MaxDetail);
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
    for (int step = 0; step <= SlopeSteps; ++step) {
        const double alpha = FirstSlope + SlopeStep * step;
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
        for (int detail = MinDetail; detail <= MaxDetail; ++detail) {
            const double misfit = spectrumMisfit(
                profile, first, [detail](double rho) { return spotTransfer(detail, rho); });
            if (detail == MinDetail)
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
        for (double r = SmallestDisk; r <= LargestDisk; r += DiskStep) {
            const double misfit
                = spectrumMisfit(profile, first, [r](double rho) { return diskTransfer(r, rho); });
            if (misfit < bestDisk) {
                bestDisk = misfit;
                radius = r;
            }
        }
        if (bestDisk < DiskWins * best) {
            best = bestDisk;
            estimate.detail = levelForDisk(radius);
        }
        estimate.confidence
            = sharp > 0.0 ? std::clamp(ConfidenceScale * (1.0 - best / sharp), 0.0, 1.0) : 0.0;
        estimate.status = decided(estimate.confidence);
    } catch (const std::bad_alloc&) {
        estimate.status = BlurEstimateStatus::OutOfMemory;
    }
    return estimate;
}
