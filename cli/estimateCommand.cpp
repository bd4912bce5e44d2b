#include "cli/estimateCommand.h"

#include "cli/deblurCommand.h"
#include "engine/blurEstimate.h"
#include "engine/deblurParams.h"
#include "engine/tilePass.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

int percent(double confidence)
{
    return int(std::lround(confidence * 100));
}

} // namespace

int runEstimateCommand(const CliOptions& options)
{
    Photo photo;
    if (const int status = readInputPhoto(options.input, &photo); status != ExitSuccess)
        return status;
    const ImageBuffer& image = photo.pixels.image;
    // What deblur refuses has no blur worth proposing options for.
    if (image.width < MinTileEdge || image.height < MinTileEdge) {
        std::fprintf(stderr,
            "morvanclarity: %s: the image must be at least 50 x 50 pixels to be deblurred\n",
            options.input.c_str());
        return ExitBadInput;
    }
    // A region that misses the picture gives way to the whole picture, with a word.
    const auto outside = [&image] {
        std::fprintf(stderr,
            "morvanclarity: the region lies outside the %d x %d picture; the whole picture is "
            "used\n",
            image.width, image.height);
    };
    // Standard output gets one line of options for deblur; standard error the words.
    if (options.choices.motionMode) {
        ShakeEstimate found = estimateShake(&image, options.region);
        if (found.status == BlurEstimateStatus::RegionOutside) {
            outside();
            found = estimateShake(&image, {});
        }
        if (found.status != BlurEstimateStatus::Found) {
            std::fprintf(stderr, "morvanclarity: %s; no motion path is proposed\n",
                blurEstimateProblem(found.status));
            return found.status == BlurEstimateStatus::OutOfMemory ? ExitJobFailed : ExitSuccess;
        }
        std::printf("--mode motion --points \"%.1f,%.1f;%.1f,%.1f\"\n", found.from.x, found.from.y,
            found.to.x, found.to.y);
        std::fprintf(stderr, "camera shake of %.1f pixels at %.0f degrees, confidence %d %%\n",
            found.length, found.angle, percent(found.confidence));
        return ExitSuccess;
    }
    DefocusEstimate found = estimateDefocusLevel(&image, options.region);
    if (found.status == BlurEstimateStatus::RegionOutside) {
        outside();
        found = estimateDefocusLevel(&image, {});
    }
    if (found.status != BlurEstimateStatus::Found) {
        std::printf("--detail %d\n", DefaultDetail);
        std::fprintf(stderr, "morvanclarity: %s; the default level of details is proposed\n",
            blurEstimateProblem(found.status));
        return found.status == BlurEstimateStatus::OutOfMemory ? ExitJobFailed : ExitSuccess;
    }
    std::printf("--detail %d\n", found.detail);
    std::fprintf(
        stderr, "level of details %d, confidence %d %%\n", found.detail, percent(found.confidence));
    return ExitSuccess;
}
