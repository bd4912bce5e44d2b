#include "cli/deblurCommand.h"

#include "choices/deblurRun.h"
#include "choices/engineSetup.h"
#include "choices/failureSentence.h"
#include "choices/psfKernelFile.h"
#include "cli/progressBar.h"
#include "engine/engine.h"
#include "image/imageFormat.h"
#include "locale/localePaths.h"
#include "locale/localisedStrings.h"
#include "locale/stringKeys.h"
#include "pictureFiles/photoFile.h"
#include "pictureFiles/psfPicture.h"
#include "platform/libraryNoise.h"
#include "platform/paths.h"
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
AbortFlag stopRequested {0}; // the job's abort flag, set by the signals

void requestAbortOnSignal(int signal)
{
    stopSignal = signal;
    requestAbort(stopRequested);
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
    return AbortToken(&stopRequested).requested();
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

std::string jobDescription(const DeblurChoices& choices)
{
    static const char* const methods[] = {"Progressive", "Smoothing"};
    static const char* const powers[] = {"Low", "Medium", "High"};
    static const char* const noises[] = {"clear", "medium", "noisy"};
    std::string mode = choices.kernelSource == KernelSource::Picture ? "imported PSF"
        : choices.motionMode ? "motion (" + std::to_string(choices.points.size()) + " points)"
                             : "out of focus (detail " + std::to_string(choices.detail) + ")";
    std::string text = mode + ", " + choiceName(choices.method, methods, 2) + " "
        + choiceName(choices.power, powers, 3);
    if (choices.method == SmoothingMethod)
        text += std::string(", noise ") + choiceName(choices.noise, noises, 3);
    return text;
}

// The choices the options give, with the PSF picture read. Returns an exit status, ExitSuccess
// when the picture (if any) was read.
int choicesOf(const CliOptions& options, DeblurChoices* choices)
{
    *choices = options.choices;
    choices->kernelSource = kernelSourceOf(options);
    if (choices->kernelSource != KernelSource::Picture)
        return ExitSuccess;
    std::string reason;
    if (readPsfKernelFile(options.psf, &choices->psf, &reason) != PsfFileStatus::Read)
        return fail(ExitBadPsf, reason);
    return ExitSuccess;
}

struct JobImages {
    Photo input;
    OwnedImage output;
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
    clearAbort(stopRequested);
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
    DeblurChoices choices;
    if (const int status = choicesOf(options, &choices); status != ExitSuccess)
        return status;
    if (copyImageHeader(job.output.get(), &source) != 0)
        return fail(ExitJobFailed, "not enough memory for the result");

    configureEngineFor(FftPlanning::Patient);
    ProgressBar bar(!options.quiet);
    const DeblurOutcome outcome = deblurWithChoices(
        choices, source, job.output.get(), RunKind::Job, bar.sink(), &stopRequested);
    if (outcome.failure == DeblurFailure::None)
        bar.finish();
    else
        bar.endLine();
    switch (outcome.failure) {
    case DeblurFailure::None:
        break;
    case DeblurFailure::TooSmall:
        return fail(ExitBadInput,
            options.input + ": the image must be at least 50 x 50 pixels to be deblurred");
    case DeblurFailure::NoPathFound:
        std::fprintf(stderr, "morvanclarity: %s; the picture is written unchanged\n",
            jobFailureSentence(outcome).c_str());
        // Nothing to deblur with: the picture is written as it was rather than failing a run
        // that asked to find its own blur.
        return writeOutput(options.output, source, job.input.alpha.image, job.input.iccProfile);
    case DeblurFailure::KernelNotBuilt:
    case DeblurFailure::KernelTooLarge:
        return fail(ExitBadPsf, jobFailureSentence(outcome));
    case DeblurFailure::Aborted:
        return interrupted();
    case DeblurFailure::OutOfMemory:
    case DeblurFailure::TilesNotDone:
        return fail(ExitJobFailed, jobFailureSentence(outcome) + "; nothing was written");
    default: // the options were checked when they were read
        return fail(ExitUsage, "the choices cannot be used");
    }
    // The alpha plane and the colour profile pass through untouched.
    if (const int written = writeOutput(
            options.output, job.output.image, job.input.alpha.image, job.input.iccProfile);
        written != ExitSuccess)
        return written;
    if (!options.quiet)
        std::fprintf(stderr, "Deblurred %d x %d %s, %s%s, in %.1f s: %s\n", source.width,
            source.height, kindOf(source, job.input.alpha->data).c_str(),
            jobDescription(outcome.used).c_str(),
            outcome.estimated ? ("; " + estimateSentence(outcome.estimate)).c_str() : "",
            bar.elapsedSeconds(), options.output.c_str());
    return ExitSuccess;
}

int runKernelCommand(const CliOptions& options)
{
    if (const int status = checkOutput(options.output); status != ExitSuccess)
        return status;
    JobImages job;
    DeblurChoices choices;
    if (const int status = choicesOf(options, &choices); status != ExitSuccess)
        return status;
    DeblurParams params; // owns the kernel
    DeblurOutcome built;
    if ((built.failure = paramsFromChoices(choices, RunKind::Job, {}, &params))
        != DeblurFailure::None)
        return fail(ExitBadPsf, jobFailureSentence(built));
    const ImageBuffer& kernel = params.kernel.image;
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
