// How well the blur estimates find the blur: photographs blurred by known spots, lens disks and
// straight shakes, with Gaussian noise, then estimated, and for disks and shakes deblurred with
// the estimate against the best choice. Also what an estimate costs beside a job.
//
//   estimateBench [--photos DIR] [--quick] [--cost]
//
// DIR holds the photographs (PNG or JPEG; each is used as gray, its centre 384 x 384). The
// default is python3-skimage's data folder; without that package installed,
//     apt-get download python3-skimage && dpkg -x python3-skimage_*.deb skimage
// and pass --photos skimage/usr/lib/python3/dist-packages/skimage/data. --quick runs fewer
// cases (three photographs; the disks' dB at noise 1 only); --cost measures the cost alone.

#include "engine/blurEstimate.h"
#include "engine/engine.h"

#include <QDir>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int Side = 384;
constexpr double Pi = 3.14159265358979323846;

// A gray picture as doubles, 0..255.
struct Plane {
    int width = 0;
    int height = 0;
    std::vector<double> values;
    double& at(int x, int y) { return values[std::size_t(y) * width + x]; }
    double at(int x, int y) const { return values[std::size_t(y) * width + x]; }
};

// A kernel: odd side, centred, summing to 1.
struct Kernel {
    int side = 0;
    std::vector<double> values;
};

Kernel spotKernel(int detail)
{
    DeblurParams params;
    if (buildDefocusKernel(&params, defocusSpread(detail)))
        return {};
    // The 128 x 128 spot peaks at (64, 64); keep the 101 x 101 around it.
    Kernel kernel {101, std::vector<double>(101 * 101)};
    const auto* samples = reinterpret_cast<const float*>(params.kernel->data);
    double sum = 0.0;
    for (int y = 0; y < 101; ++y)
        for (int x = 0; x < 101; ++x)
            sum += kernel.values[std::size_t(y) * 101 + x] = samples[(y + 14) * 128 + x + 14];
    for (double& v : kernel.values)
        v /= sum;
    return kernel;
}

Kernel diskKernel(double radius)
{
    const int half = int(std::ceil(radius)) + 1;
    Kernel kernel {2 * half + 1, std::vector<double>(std::size_t(2 * half + 1) * (2 * half + 1))};
    double sum = 0.0;
    for (int y = -half; y <= half; ++y) {
        for (int x = -half; x <= half; ++x) {
            // Area of the pixel inside the disk, by 8 x 8 subsamples.
            int inside = 0;
            for (int j = 0; j < 8; ++j)
                for (int i = 0; i < 8; ++i)
                    inside
                        += std::hypot(x + (i + 0.5) / 8 - 0.5, y + (j + 0.5) / 8 - 0.5) <= radius;
            sum += kernel.values[std::size_t(y + half) * kernel.side + x + half] = inside / 64.0;
        }
    }
    for (double& v : kernel.values)
        v /= sum;
    return kernel;
}

// The engine's own motion kernel for a line of the given length and angle (counter-clockwise
// on screen), cropped around its centroid.
Kernel shakeKernel(double length, double angle)
{
    const double c = std::cos(angle * Pi / 180.0);
    const double s = -std::sin(angle * Pi / 180.0);
    const MotionPoint points[2] = {{200 - c * length / 2, 200 - s * length / 2, 0},
        {200 + c * length / 2, 200 + s * length / 2, 0}};
    DeblurParams params;
    params.motionMode = true;
    if (buildMotionKernel(&params, points, 2, JobMotionSpread))
        return {};
    const ImageBuffer& k = *params.kernel.get();
    double cx = 0.0, cy = 0.0, total = 0.0;
    for (int y = 0; y < k.height; ++y) {
        const auto* row = reinterpret_cast<const float*>(k.data + std::int64_t(y) * k.stride);
        for (int x = 0; x < k.width; ++x) {
            total += row[x];
            cx += x * row[x];
            cy += y * row[x];
        }
    }
    const int ox = int(std::lround(cx / total));
    const int oy = int(std::lround(cy / total));
    constexpr int half = 30;
    Kernel kernel {2 * half + 1, std::vector<double>((2 * half + 1) * (2 * half + 1), 0.0)};
    double sum = 0.0;
    for (int y = -half; y <= half; ++y) {
        for (int x = -half; x <= half; ++x) {
            const int kx = ox + x;
            const int ky = oy + y;
            if (kx < 0 || ky < 0 || kx >= k.width || ky >= k.height)
                continue;
            const double v
                = reinterpret_cast<const float*>(k.data + std::int64_t(ky) * k.stride)[kx];
            sum += kernel.values[std::size_t(y + half) * kernel.side + x + half] = v;
        }
    }
    for (double& v : kernel.values)
        v /= sum;
    return kernel;
}

// Convolution with edges repeated; direct, since kernels are small beside the picture.
Plane blur(const Plane& sharp, const Kernel& kernel)
{
    Plane out {sharp.width, sharp.height, std::vector<double>(sharp.values.size(), 0.0)};
    const int half = kernel.side / 2;
    for (int ky = 0; ky < kernel.side; ++ky) {
        for (int kx = 0; kx < kernel.side; ++kx) {
            const double weight = kernel.values[std::size_t(ky) * kernel.side + kx];
            if (weight < 1e-5)
                continue;
            for (int y = 0; y < sharp.height; ++y) {
                const int sy = std::clamp(y - (ky - half), 0, sharp.height - 1);
                for (int x = 0; x < sharp.width; ++x) {
                    const int sx = std::clamp(x - (kx - half), 0, sharp.width - 1);
                    out.at(x, y) += weight * sharp.at(sx, sy);
                }
            }
        }
    }
    return out;
}

OwnedImage toImage(const Plane& plane, double noise, unsigned seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> gauss(0.0, noise > 0 ? noise : 1.0);
    OwnedImage image(plane.width, plane.height, 1, 8);
    for (int y = 0; y < plane.height; ++y)
        for (int x = 0; x < plane.width; ++x)
            image->data[std::int64_t(y) * image->stride + x] = std::uint8_t(std::clamp(
                std::lround(plane.at(x, y) + (noise > 0 ? gauss(random) : 0.0)), 0L, 255L));
    return image;
}

// PSNR of a deblurred picture against the sharp one, 24 pixels inside the border.
double psnr(const Plane& sharp, const ImageBuffer& result)
{
    double squares = 0.0;
    long count = 0;
    for (int y = 24; y < sharp.height - 24; ++y) {
        for (int x = 24; x < sharp.width - 24; ++x) {
            const double d = sharp.at(x, y) - result.data[std::int64_t(y) * result.stride + x];
            squares += d * d;
            ++count;
        }
    }
    return 10.0 * std::log10(255.0 * 255.0 / std::max(squares / count, 1e-9));
}

double deblurredPsnr(const Plane& sharp, const ImageBuffer& blurred, DeblurParams& params)
{
    OwnedImage target(blurred.width, blurred.height, 1, 8);
    if (runDeblurJob(target.get(), &blurred, params, ProgressSink {}) != JobDone)
        return 0.0;
    return psnr(sharp, *target.get());
}

double focusPsnr(const Plane& sharp, const ImageBuffer& blurred, int detail)
{
    DeblurParams params;
    params.detail = detail;
    if (buildDefocusKernel(&params, defocusSpread(detail)))
        return 0.0;
    return deblurredPsnr(sharp, blurred, params);
}

double shakePsnr(const Plane& sharp, const ImageBuffer& blurred, MotionPoint from, MotionPoint to)
{
    DeblurParams params;
    params.motionMode = true;
    const MotionPoint points[2] = {from, to};
    if (buildMotionKernel(&params, points, 2, JobMotionSpread))
        return 0.0;
    return deblurredPsnr(sharp, blurred, params);
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Family {
    explicit Family(const char* name)
        : name(name)
    {
    }
    const char* name;
    int cases = 0;
    int hits = 0;
    int confident = 0;
    std::vector<double> errors;
    std::vector<double> lost;
    void print() const
    {
        std::printf("| %s | %d | %.0f %% | %.2f | %s | %.0f %% |\n", name, cases,
            cases ? 100.0 * hits / cases : 0.0, median(errors),
            lost.empty() ? "-" : (std::to_string(median(lost)).substr(0, 4) + " dB").c_str(),
            cases ? 100.0 * confident / cases : 0.0);
    }
};

double angleError(double a, double b)
{
    const double d = std::fmod(std::fabs(a - b), 180.0);
    return std::min(d, 180.0 - d);
}

} // namespace

int main(int argc, char** argv)
{
    QString folder = "/usr/lib/python3/dist-packages/skimage/data";
    bool quick = false;
    bool verbose = false;
    std::string only; // spot, disk or shake: that family alone, and no cost
    std::size_t photoCount = 8;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--photos" && i + 1 < argc)
            folder = argv[++i];
        else if (argument == "--quick")
            quick = true;
        else if (argument == "--verbose")
            verbose = true;
        else if (argument == "--cost")
            only = "cost";
        else if (argument == "--only" && i + 1 < argc)
            only = argv[++i];
        else if (argument == "--photo-count" && i + 1 < argc)
            photoCount = std::atoi(argv[++i]);
    }
    // Natural photographs of the package; text, drawings and synthetic pictures are left out.
    const char* names[] = {"camera.png", "coffee.png", "chelsea.png", "rocket.jpg",
        "motorcycle_left.png", "grass.png", "brick.png", "gravel.png"};
    std::vector<Plane> photos;
    for (const char* name : names) {
        QImage image(QDir(folder).filePath(name));
        if (image.isNull())
            continue;
        image = image.convertToFormat(QImage::Format_Grayscale8);
        const int side = std::min({Side, image.width(), image.height()});
        const int left = (image.width() - side) / 2;
        const int top = (image.height() - side) / 2;
        Plane plane {side, side, std::vector<double>(std::size_t(side) * side)};
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                plane.at(x, y) = image.constScanLine(top + y)[left + x];
        photos.push_back(std::move(plane));
        if (photos.size() == (quick ? std::min<std::size_t>(3, photoCount) : photoCount))
            break;
    }
    if (photos.empty()) {
        std::fprintf(stderr, "no photographs in %s (see the usage at the top of the source)\n",
            folder.toLocal8Bit().constData());
        return 2;
    }
    EngineSettings settings;
    configureEngine(settings);
    const double noises[] = {0.0, 1.0, 3.0};

    Family spots("built spot, levels 3..50 (hit: within 2 levels)");
    Family disks("lens disk, radius 2..10 (error in levels from the best)");
    Family shakes("straight shake, 8..40 px, 0..180 deg (hit: length 15 %, angle 6 deg)");
    unsigned seed = 1;
    for (std::size_t p = 0; p < photos.size(); ++p) {
        const Plane& sharp = photos[p];
        for (double noise : noises) {
            for (int level : {3, 6, 10, 15, 20, 25, 30, 35, 40, 45, 50}) {
                if (!only.empty() && only != "spot")
                    break;
                const OwnedImage blurred = toImage(blur(sharp, spotKernel(level)), noise, ++seed);
                const DefocusEstimate found = estimateDefocusLevel(blurred.get(), {});
                ++spots.cases;
                spots.hits += std::abs(found.detail - level) <= 2;
                spots.confident += found.status == BlurEstimateStatus::Found;
                spots.errors.push_back(std::abs(found.detail - level));
                if (verbose)
                    std::printf("spot %d noise %.0f: %d (%.2f)\n", level, noise, found.detail,
                        found.confidence);
            }
            for (double radius : {2.0, 3.0, 4.0, 6.0, 8.0, 10.0}) {
                if (!only.empty() && only != "disk")
                    break;
                const OwnedImage blurred = toImage(blur(sharp, diskKernel(radius)), noise, ++seed);
                if (quick && noise != 1.0)
                    continue;
                const DefocusEstimate found = estimateDefocusLevel(blurred.get(), {});
                ++disks.cases;
                disks.confident += found.status == BlurEstimateStatus::Found;
                // The best level on a grid of every fifth level and around the estimate.
                double best = -1.0;
                int bestLevel = 0;
                std::vector<int> levels;
                for (int level = 2; level <= 50; level += 4)
                    levels.push_back(level);
                for (int d = -2; d <= 2; ++d)
                    if (found.detail + d >= 1 && found.detail + d <= 50)
                        levels.push_back(found.detail + d);
                double atEstimate = 0.0;
                for (int level : levels) {
                    const double value = focusPsnr(sharp, *blurred.get(), level);
                    if (level == found.detail)
                        atEstimate = value;
                    if (value > best) {
                        best = value;
                        bestLevel = level;
                    }
                }
                disks.lost.push_back(best - atEstimate);
                disks.hits += best - atEstimate <= 0.3;
                disks.errors.push_back(std::abs(found.detail - bestLevel));
                if (verbose)
                    std::printf("disk %.0f noise %.0f: %d (%.2f), best %d, lost %.2f dB\n", radius,
                        noise, found.detail, found.confidence, bestLevel, best - atEstimate);
            }
            for (double length : {8.0, 12.0, 16.0, 24.0, 32.0, 40.0}) {
                if (!only.empty() && only != "shake")
                    break;
                for (double angle : {0.0, 30.0, 60.0, 90.0, 120.0, 150.0, 15.0, 105.0}) {
                    if (quick && angle > 100.0)
                        continue;
                    const OwnedImage blurred
                        = toImage(blur(sharp, shakeKernel(length, angle)), noise, ++seed);
                    const ShakeEstimate found = estimateShake(blurred.get(), {});
                    ++shakes.cases;
                    shakes.confident += found.status == BlurEstimateStatus::Found;
                    const double lengthError = std::fabs(found.length - length) / length;
                    const double angleOff = angleError(found.angle, angle);
                    shakes.hits += lengthError <= 0.15 && angleOff <= 6.0;
                    shakes.errors.push_back(angleOff);
                    if (verbose)
                        std::printf("shake %.0f at %.0f noise %.0f: %.1f at %.1f (%.2f)\n", length,
                            angle, noise, found.length, found.angle, found.confidence);
                    // The result against the true line's, on a share of the cases.
                    if (noise == 1.0 && p < 2 && int(angle) % 60 == 0) {
                        const double c = std::cos(angle * Pi / 180.0);
                        const double s = -std::sin(angle * Pi / 180.0);
                        const MotionPoint from {
                            Side / 2.0 - c * length / 2, Side / 2.0 - s * length / 2, 0};
                        const MotionPoint to {
                            Side / 2.0 + c * length / 2, Side / 2.0 + s * length / 2, 0};
                        shakes.lost.push_back(shakePsnr(sharp, *blurred.get(), from, to)
                            - shakePsnr(sharp, *blurred.get(), found.from, found.to));
                    }
                }
            }
        }
        std::fprintf(stderr, "photo %zu of %zu done\n", p + 1, photos.size());
    }
    std::printf("%zu photographs, noise sigma 0, 1 and 3 levels\n\n", photos.size());
    std::printf("| family | cases | hit rate | median error | median dB lost | confident |\n");
    std::printf("|---|---|---|---|---|---|\n");
    spots.print();
    disks.print();
    shakes.print();
    std::printf("\n(median error: levels for spots and disks, degrees for shakes; dB lost: "
                "against the best level for disks, the true line for shakes)\n");

    if (!only.empty() && only != "cost")
        return 0;
    // Cost: a 12-megapixel picture (the first photograph repeated) and a 300 x 300 area.
    OwnedImage large(4000, 3000, 3, 8);
    const Plane& first = photos[0];
    for (int y = 0; y < 3000; ++y)
        for (int x = 0; x < 4000; ++x)
            for (int c = 0; c < 3; ++c)
                large->data[std::int64_t(y) * large->stride + 3 * x + c]
                    = std::uint8_t(first.at(x % first.width, y % first.height));
    const auto seconds = [](auto&& work) {
        const auto start = std::chrono::steady_clock::now();
        work();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    const double focus12 = seconds([&] { (void)estimateDefocusLevel(large.get(), {}); });
    const double shake12 = seconds([&] { (void)estimateShake(large.get(), {}); });
    const ImageRect area {1850, 1350, 2150, 1650};
    const double focusArea = seconds([&] { (void)estimateDefocusLevel(large.get(), area); });
    const double shakeArea = seconds([&] { (void)estimateShake(large.get(), area); });
    DeblurParams params;
    (void)buildDefocusKernel(&params, defocusSpread(DefaultDetail));
    OwnedImage target(4000, 3000, 3, 8);
    const double job
        = seconds([&] { (void)runDeblurJob(target.get(), large.get(), params, ProgressSink {}); });
    std::printf("\ncost on 4000 x 3000 RGB: focus %.0f ms, shake %.0f ms; Progressive Medium job "
                "%.0f ms (ratios %.3f and %.3f)\n",
        focus12 * 1e3, shake12 * 1e3, job * 1e3, focus12 / job, shake12 / job);
    std::printf("cost on a 300 x 300 area: focus %.0f ms, shake %.0f ms\n", focusArea * 1e3,
        shakeArea * 1e3);
    return 0;
}
