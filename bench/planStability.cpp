// How much a result depends on the FFT plans: every method x power x noise on one photograph,
// first with estimated plans, then with plans measured in this process (as a first run on
// another machine, or after the wisdom file is gone, would measure its own), compared sample by
// sample. Nothing is read from or written to a wisdom file.
//
//   planStability INPUT [--detail N] [--method progressive|smoothing] [--threads N]
//
// Prints one line per setting: the largest difference, the share of samples more than one level
// apart, and the time of each run. Exit status 1 when some setting misses the goal (more than 2
// levels, or more than 0.1 % of samples more than 1 level apart).

#include "engine/engine.h"
#include "pictureFiles/photoFile.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Setting {
    int method;
    int power;
    int noise;
};

struct Difference {
    int largest = 0;
    long long overOne = 0;
    long long samples = 0;
};

int sample(const ImageBuffer& image, int x, int y, int c)
{
    const std::uint8_t* row = image.data + std::int64_t(y) * image.stride;
    if (image.bitsPerChannel == 16)
        return reinterpret_cast<const std::uint16_t*>(row)[x * image.channels + c];
    return row[x * image.channels + c];
}

Difference compare(const ImageBuffer& a, const ImageBuffer& b)
{
    Difference difference;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            for (int c = 0; c < a.channels; ++c) {
                const int d = std::abs(sample(a, x, y, c) - sample(b, x, y, c));
                difference.largest = std::max(difference.largest, d);
                difference.overOne += d > 1;
                ++difference.samples;
            }
        }
    }
    return difference;
}

const char* methodName(int method)
{
    return method == SmoothingMethod ? "smoothing" : "progressive";
}

const char* powerName(int power)
{
    return power == LowPower ? "low" : power == MediumPower ? "medium" : "high";
}

const char* noiseName(int noise)
{
    return noise == ClearNoise ? "clear" : noise == MediumNoise ? "medium" : "noisy";
}

} // namespace

int main(int argc, char** argv)
{
    std::string input;
    int detail = 40;
    int onlyMethod = -1;
    int threads = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--detail" && i + 1 < argc)
            detail = std::atoi(argv[++i]);
        else if (argument == "--method" && i + 1 < argc)
            onlyMethod
                = std::string(argv[++i]) == "smoothing" ? SmoothingMethod : ProgressiveMethod;
        else if (argument == "--threads" && i + 1 < argc)
            threads = std::atoi(argv[++i]);
        else if (input.empty())
            input = argument;
        else
            input.clear(), i = argc;
    }
    if (input.empty()) {
        std::fputs("usage: planStability INPUT [--detail N] [--method progressive|smoothing] "
                   "[--threads N]\n",
            stderr);
        return 2;
    }
    quietPictureLibraries();
    Photo photo;
    std::string reason;
    if (readPhoto(input, &photo, &reason) != PhotoReadStatus::Read) {
        std::fprintf(stderr, "%s: %s\n", input.c_str(), reason.c_str());
        return 2;
    }
    const ImageBuffer& source = photo.pixels.image;

    std::vector<Setting> settings;
    for (int method : {ProgressiveMethod, SmoothingMethod})
        for (int power : {LowPower, MediumPower, HighPower})
            for (int noise : {ClearNoise, MediumNoise, NoisyNoise})
                if (onlyMethod < 0 || method == onlyMethod)
                    settings.push_back({method, power, noise});

    // One pass with estimated plans, then one with measured ones: a measured plan replaces the
    // estimated one of its size for the rest of the process.
    std::vector<OwnedImage> results[2];
    double seconds[2][64] = {};
    for (int pass = 0; pass < 2; ++pass) {
        EngineSettings engine;
        engine.threads = threads;
        engine.patientFftPlanning = pass == 1;
        configureEngine(engine);
        for (const Setting& setting : settings) {
            DeblurParams params;
            params.method = setting.method;
            params.power = setting.power;
            params.noise = setting.noise;
            params.detail = detail;
            if (buildDefocusKernel(&params, defocusSpread(detail)))
                return 2;
            OwnedImage target(source.width, source.height, source.channels, source.bitsPerChannel);
            const auto start = std::chrono::steady_clock::now();
            if (runDeblurJob(target.get(), &source, params, ProgressSink {}) != JobDone) {
                std::fputs("the job failed\n", stderr);
                return 2;
            }
            seconds[pass][results[pass].size()]
                = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            results[pass].push_back(std::move(target));
        }
    }

    bool missed = false;
    for (std::size_t i = 0; i < settings.size(); ++i) {
        const Difference d = compare(*results[0][i].get(), *results[1][i].get());
        const double share = 100.0 * double(d.overOne) / double(d.samples);
        const bool ok = d.largest <= 2 && share <= 0.1;
        missed = missed || !ok;
        std::printf(
            "%-11s %-6s noise %-6s: largest %3d, over 1 level %7.4f %%  (%.2f s, %.2f s)%s\n",
            methodName(settings[i].method), powerName(settings[i].power),
            noiseName(settings[i].noise), d.largest, share, seconds[0][i], seconds[1][i],
            ok ? "" : "  MISSED");
    }
    return missed ? 1 : 0;
}
