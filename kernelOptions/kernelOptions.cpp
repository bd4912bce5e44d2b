#include "kernelOptions/kernelOptions.h"

#include "engine/blurEstimate.h"
#include "engine/engine.h"
#include "image/imageFormat.h"
#include "locale/localePaths.h"
#include "locale/localisedStrings.h"
#include "locale/stringKeys.h"
#include "platform/libraryNoise.h"
#include "platform/paths.h"
#include "pictureFiles/psfPicture.h"
#include "platform/textEncoding.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

bool parseFiniteNumber(const std::string& text, double* value)
{
    if (text.empty())
        return true;
    char* end = nullptr;
    errno = 0;
    *value = std::strtod(text.c_str(), &end);
    return errno != 0 || *end != '\0' || !std::isfinite(*value);
}

bool parseMotionPoints(const std::string& text, std::vector<MotionPoint>* points)
{
    points->clear();
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(';', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string pair = text.substr(start, end - start);
        const std::size_t comma = pair.find(',');
        MotionPoint point {};
        if (comma == std::string::npos || parseFiniteNumber(pair.substr(0, comma), &point.x)
            || parseFiniteNumber(pair.substr(comma + 1), &point.y))
            return true;
        points->push_back(point);
        start = end + 1;
    }
    return false;
}

MotionPointsFault motionPointsFault(const KernelOptions& options)
{
    if (!options.motionMode && (!options.points.empty() || options.estimatePoints))
        return MotionPointsFault::PointsWithoutMotion;
    if (options.motionMode && options.psf.empty() && !options.estimatePoints
        && options.points.size() < 2)
        return MotionPointsFault::TooFewPoints;
    return MotionPointsFault::None;
}

std::string estimateKernelChoices(KernelOptions* options, const ImageBuffer& image)
{
    char text[200];
    if (options->estimateDetail && !options->motionMode && options->psf.empty()) {
        options->estimateDetail = false;
        const DefocusEstimate found = estimateDefocusLevel(&image, {});
        const int confidence = int(std::lround(found.confidence * 100));
        if (found.status == BlurEstimateStatus::Found) {
            options->detail = found.detail;
            std::snprintf(text, sizeof text, "estimated level of details %d (confidence %d %%)",
                found.detail, confidence);
            return text;
        }
        options->detail = DefaultDetail;
        return std::string(blurEstimateProblem(found.status)) + "; the default level of details "
            + std::to_string(DefaultDetail) + " is used";
    }
    if (options->estimatePoints && options->motionMode && options->psf.empty()) {
        options->estimatePoints = false;
        const ShakeEstimate found = estimateShake(&image, {});
        const int confidence = int(std::lround(found.confidence * 100));
        if (found.status == BlurEstimateStatus::Found) {
            options->points = {found.from, found.to};
            std::snprintf(text, sizeof text,
                "estimated camera shake %.1f pixels at %.0f degrees (confidence %d %%)",
                found.length, found.angle, confidence);
            return text;
        }
        options->points.clear();
        return std::string(blurEstimateProblem(found.status)) + "; no motion path was found";
    }
    return {};
}

bool buildKernelFromOptions(const KernelOptions& options, DeblurParams* params, std::string* reason)
{
    params->motionMode = options.motionMode;
    params->detail = options.detail;
    params->method = options.method;
    params->power = options.power;
    params->noise = options.noise;
    if (!options.psf.empty()) {
        ImageBuffer picture {};
        std::string why;
        PsfPictureStatus status = PsfPictureStatus::Unreadable;
        {
            const LibraryNoiseMute quiet;
            status = readPsfPicture(options.psf, &picture, &why);
        }
        if (status == PsfPictureStatus::NotSupported) {
            *reason = options.psf + ": " + utf16ToUtf8(localisedString(StringFormatNotSupported))
                + " (" + why + ")";
            return true;
        }
        if (status != PsfPictureStatus::Loaded) {
            *reason = options.psf + ": " + why;
            return true;
        }
        const bool unusable = changeImageFormat(&picture, picture.bitsPerChannel > 8 ? 16 : 8, 1)
            || kernelFromImage(params->kernel.get(), &picture);
        releaseImage(&picture);
        if (unusable) {
            *reason = options.psf
                + ": the picture is all black; a point-spread function needs at least one lit "
                  "pixel";
            return true;
        }
        params->importedKernel = true;
        return false;
    }
    const bool failed = options.motionMode
        ? buildMotionKernel(
            params, options.points.data(), int(options.points.size()), JobMotionSpread)
        : buildDefocusKernel(params, defocusSpread(options.detail));
    if (failed)
        *reason = utf16ToUtf8(localisedString(StringCannotBuildKernel));
    return failed;
}

void configureEngineForBatch()
{
    const std::string folder = defaultLocalePaths().settingsFolder;
    EngineSettings settings;
    settings.patientFftPlanning = true;
    if (!createDirectory(folder))
        settings.wisdomFile = folder + "/fftw3f-wisdom";
    configureEngine(settings);
}
