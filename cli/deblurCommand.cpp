#include "cli/deblurCommand.h"

#include "cli/progressBar.h"
#include "engine/engine.h"
#include "image/imageFormat.h"
#include "kernelOptions/kernelOptions.h"
#include "locale/localePaths.h"
#include "locale/localisedStrings.h"
#include "locale/stringKeys.h"
#include "platform/libraryNoise.h"
#include "platform/paths.h"
#include "pictureFiles/photoFile.h"
#include "pictureFiles/psfPicture.h"
#include "platform/textEncoding.h"
#include "platform/wholeFiles.h"

#include <algorithm>

#include <csignal>
#include <cstdio>
#include <string>

namespace {

int fail(int status, const std::string& message)
{
    std::fprintf(stderr, "morvanclarity: %s\n", message.c_str());
    return status;
}

// Ctrl-C, a termination request (kill, a shutdown) and a closed terminal all stop the run the same
// way: the job stops, nothing is written, no temporary file is left, and the exit status is 128
// plus the signal's number, as the shell reports a process the signal ended.
constexpr int StopSignals[] = {SIGINT, SIGTERM, SIGHUP};
volatile std::sig_atomic_t stopSignal = 0;

void requestAbortOnSignal(int signal)
{
    stopSignal = signal;
    requestAbort(); // a lock-free atomic store: safe in a signal handler
    std::signal(signal, SIG_DFL); // the same signal again ends the process at once
}

void stopOnSignals()
{
    for (int signal : StopSignals)
        std::signal(signal, requestAbortOnSignal);
}

// Asked by the output's writer just before the finished file replaces the old one: a signal
// until here stops the run with nothing written; from here on the run finishes, since the output
// is as good as written.
bool interruptedBeforeCommit()
{
    for (int signal : StopSignals)
        std::signal(signal, SIG_IGN);
    return isAbortRequested();
}

int interrupted()
{
    const int signal = stopSignal != 0 ? int(stopSignal) : SIGINT;
    const char* what = signal == SIGTERM ? "terminated"
        : signal == SIGHUP               ? "hung up"
                                         : "interrupted";
    return fail(128 + signal, std::string(what) + "; nothing was written");
}

// Tells the output's writer why it must not replace the file, if it must not. The output's
// folder is tried before the job starts, so a missing or read-only folder costs no job.
int checkOutput(const std::string& path)
{
    if (!isWritablePhotoPath(path))
        return fail(ExitBadOutput, path + ": " + UnwritablePathReason);
    std::string reason;
    if (cannotCreateFile(path, &reason))
        return fail(ExitBadOutput, path + ": cannot be written: " + reason);
    return ExitSuccess;
}

int writeOutput(const std::string& path, const ImageBuffer& pixels, const ImageBuffer& alpha,
    const std::string& iccProfile)
{
    std::string reason;
    switch (writePhoto(path, pixels, alpha, iccProfile, &reason, interruptedBeforeCommit)) {
    case PhotoWriteStatus::Written:
        return ExitSuccess;
    case PhotoWriteStatus::Cancelled:
        return interrupted();
    case PhotoWriteStatus::Failed:
        break;
    }
    return fail(ExitBadOutput, path + ": " + reason + "; nothing was written");
}

std::string kindOf(const ImageBuffer& image, bool alpha)
{
    std::string kind = image.channels == 1 ? "gray" : "RGB";
    if (alpha)
        kind += "+alpha";
    return kind + " " + std::to_string(image.bitsPerChannel) + "-bit";
}

const char* choiceName(int value, const char* const* names, int count)
{
    return value >= 0 && value < count ? names[value] : "?";
}

std::string jobDescription(const KernelOptions& options)
{
    static const char* const methods[] = {"Progressive", "Smoothing"};
    static const char* const powers[] = {"Low", "Medium", "High"};
    static const char* const noises[] = {"clear", "medium", "noisy"};
    std::string mode = !options.psf.empty() ? "imported PSF"
        : options.motionMode ? "motion (" + std::to_string(options.points.size()) + " points)"
                             : "out of focus (detail " + std::to_string(options.detail) + ")";
    std::string text = mode + ", " + choiceName(options.method, methods, 2) + " "
        + choiceName(options.power, powers, 3);
    if (options.method == SmoothingMethod)
        text += std::string(", noise ") + choiceName(options.noise, noises, 3);
    return text;
}

// Builds params->kernel as the choices say. Returns an exit status, ExitSuccess when built.
int buildKernel(const KernelOptions& choices, DeblurParams* params)
{
    std::string reason;
    if (buildKernelFromOptions(choices, params, &reason))
        return fail(ExitBadPsf, reason);
    return ExitSuccess;
}

struct JobImages {
    Photo input;
    OwnedImage output;
    DeblurParams params; // owns the kernel
};

} // namespace

int readInputPhoto(const std::string& path, Photo* photo)
{
    std::string reason;
    switch (readPhoto(path, photo, &reason)) {
    case PhotoReadStatus::Read:
        return ExitSuccess;
    case PhotoReadStatus::BadFile:
        return fail(ExitBadInput, path + ": " + reason);
    case PhotoReadStatus::OutOfMemory:
        break;
    }
    return fail(ExitJobFailed, path + ": " + reason);
}

void catchStopSignals()
{
    stopOnSignals();
}

int pendingStopStatus()
{
    return stopSignal != 0 ? 128 + int(stopSignal) : 0;
}

void forgetStopSignals()
{
    stopSignal = 0;
    clearAbortRequest();
}

int runDeblurCommand(const CliOptions& options)
{
    if (const int status = checkOutput(options.output); status != ExitSuccess)
        return status;
    // From here on Ctrl-C (or a termination request) asks the job to stop; whatever runs then ends
    // without output.
    // A stop that came before this photo (between two photos of a folder run) ends it at once.
    if (const int stopped = pendingStopStatus())
        return stopped;
    stopOnSignals();

    JobImages job;
    if (const int status = readInputPhoto(options.input, &job.input); status != ExitSuccess)
        return status;
    const ImageBuffer& source = job.input.pixels.image;
    if (source.width < MinTileEdge || source.height < MinTileEdge)
        return fail(ExitBadInput,
            options.input + ": the image must be at least 50 x 50 pixels to be deblurred");

    KernelOptions choices = options.kernel;
    const bool estimating = choices.estimateDetail || choices.estimatePoints;
    const std::string estimated = estimateKernelChoices(&choices, source);
    const bool noPath = choices.motionMode && choices.psf.empty() && choices.points.size() < 2;
    if (noPath) {
        std::fprintf(
            stderr, "morvanclarity: %s; the picture is written unchanged\n", estimated.c_str());
        // Nothing to deblur with: the picture is written as it was rather than failing a run
        // that asked to find its own blur.
        if (const int written
            = writeOutput(options.output, source, job.input.alpha.image, job.input.iccProfile);
            written != ExitSuccess)
            return written;
        return ExitSuccess;
    }
    if (const int status = buildKernel(choices, &job.params); status != ExitSuccess)
        return status;
    const TileCanvas canvas = smallestTileCanvas(source.width, source.height, choices.motionMode);
    const ImageBuffer& kernel = job.params.kernel.image;
    if (kernel.width > canvas.width || kernel.height > canvas.height)
        return fail(ExitBadPsf,
            "the point-spread function (" + std::to_string(kernel.width) + " x "
                + std::to_string(kernel.height) + ") is larger than the processing canvas ("
                + std::to_string(canvas.width) + " x " + std::to_string(canvas.height) + ")");

    if (copyImageHeader(job.output.get(), &source) != 0)
        return fail(ExitJobFailed, "not enough memory for the result");

    configureEngineForBatch();
    ProgressBar bar(!options.quiet);
    JobReport report;
    const JobStatus status = isAbortRequested()
        ? JobAborted
        : runDeblurJob(job.output.get(), &source, job.params, bar.sink(), &report);
    if (status == JobDone && report.tilesNotDone == 0)
        bar.finish();
    else
        bar.endLine();
    if (status == JobAborted)
        return interrupted();
    if (status != JobDone)
        return fail(ExitJobFailed, "the job could not run: not enough memory; nothing was written");
    if (report.tilesNotDone > 0)
        return fail(ExitJobFailed,
            std::to_string(report.tilesNotDone) + " of " + std::to_string(report.tiles)
                + " tiles could not be deblurred (not enough memory); nothing was written");
    // The alpha plane and the colour profile pass through untouched.
    if (const int written = writeOutput(
            options.output, job.output.image, job.input.alpha.image, job.input.iccProfile);
        written != ExitSuccess)
        return written;
    if (!options.quiet)
        std::fprintf(stderr, "Deblurred %d x %d %s, %s%s, in %.1f s: %s\n", source.width,
            source.height, kindOf(source, job.input.alpha->data).c_str(),
            jobDescription(choices).c_str(), estimating ? ("; " + estimated).c_str() : "",
            bar.elapsedSeconds(), options.output.c_str());
    return ExitSuccess;
}

int runKernelCommand(const CliOptions& options)
{
    if (const int status = checkOutput(options.output); status != ExitSuccess)
        return status;
    JobImages job;
    if (const int status = buildKernel(options.kernel, &job.params); status != ExitSuccess)
        return status;
    const ImageBuffer& kernel = job.params.kernel.image;
    if (allocateImage(job.output.get(), kernel.width, kernel.height, 1, 8) != 0)
        return fail(ExitJobFailed, "not enough memory for the picture");
    // Scaled so the brightest sample is white.
    const auto* samples = reinterpret_cast<const float*>(kernel.data);
    const std::int64_t count = std::int64_t(kernel.width) * kernel.height;
    float peak = 0.0f;
    for (std::int64_t i = 0; i < count; ++i)
        peak = std::max(peak, samples[i]);
    for (std::int64_t i = 0; i < count; ++i)
        job.output->data[i] = std::uint8_t(
            peak > 0.0f ? std::clamp(samples[i] / peak * 255.0f + 0.5f, 0.0f, 255.0f) : 0.0f);
    if (const int written = writeOutput(options.output, job.output.image, ImageBuffer {}, {});
        written != ExitSuccess)
        return written;
    if (!options.quiet)
        std::fprintf(stderr, "Wrote the %d x %d point-spread function: %s\n", kernel.width,
            kernel.height, options.output.c_str());
    return ExitSuccess;
}
