#include "cli/kernelOptions.h"

#include "engine/engine.h"
#include "image/imageFormat.h"
#include "locale/localePaths.h"
#include "locale/localisedStrings.h"
#include "locale/stringKeys.h"
#include "platform/libraryNoise.h"
#include "platform/paths.h"
#include "platform/pictureDecoder.h"
#include "platform/textEncoding.h"

bool buildKernelFromOptions(const CliOptions& options, DeblurParams* params, std::string* reason)
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
        const bool unusable
            = changeImageFormat(&picture, 8, 1) || kernelFromImage(&params->kernel, &picture);
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
