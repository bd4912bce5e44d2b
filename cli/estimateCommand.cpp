#include "cli/estimateCommand.h"

#include "cli/photoFile.h"
#include "engine/blurEstimate.h"
#include "engine/deblurParams.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

int fail(int status, const std::string& message)
{
    std::fprintf(stderr, "morvanclarity: %s\n", message.c_str());
    return status;
}

int percent(double confidence)
{
    return int(std::lround(confidence * 100));
}

} // namespace

int runEstimateCommand(const CliOptions& options)
{
    Photo photo;
    std::string reason;
    switch (readPhoto(options.input, &photo, &reason)) {
    case PhotoReadStatus::Read:
        break;
    case PhotoReadStatus::BadFile:
        return fail(ExitBadInput, options.input + ": " + reason);
    case PhotoReadStatus::OutOfMemory:
        return fail(ExitJobFailed, options.input + ": " + reason);
    }
    const ImageBuffer& image = photo.pixels.image;
    ImageRect region = options.region;
    const bool regionOutside = region.right > region.left
        && (region.right <= 0 || region.bottom <= 0 || region.left >= image.width
            || region.top >= image.height);
    if (regionOutside) {
        std::fprintf(stderr,
            "morvanclarity: the region lies outside the %d x %d picture; the whole picture is "
            "used\n",
            image.width, image.height);
        region = {};
    }
    // Standard output gets one line of options for deblur; standard error the words.
    if (options.kernel.motionMode) {
        const ShakeEstimate found = estimateShake(&image, region);
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
    const DefocusEstimate found = estimateDefocusLevel(&image, region);
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
