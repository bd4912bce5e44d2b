#include "cli/cliOptions.h"

#include "choices/choiceText.h"
#include "engine/deblurParams.h"

#include <cmath>

namespace {

struct Choice {
    const char* name;
    int value;
};

constexpr Choice Methods[] = {{"progressive", ProgressiveMethod}, {"smoothing", SmoothingMethod}};
constexpr Choice Powers[] = {{"low", LowPower}, {"medium", MediumPower}, {"high", HighPower}};
constexpr Choice NoiseLevels[]
    = {{"clear", ClearNoise}, {"medium", MediumNoise}, {"noisy", NoisyNoise}};
constexpr Choice Modes[] = {{"focus", 0}, {"motion", 1}};

template <std::size_t Count>
bool choose(const Choice (&choices)[Count], const std::string& option, const std::string& text,
    int* value, std::string* message)
{
    std::string names;
    for (const Choice& choice : choices) {
        if (text == choice.name) {
            *value = choice.value;
            return false;
        }
        names += names.empty() ? choice.name : std::string("|") + choice.name;
    }
    *message = option + " takes " + names + ", not \"" + text + "\"";
    return true;
}

// "X,Y,W,H" in whole pixels, W and H at least 1.
bool parseRegion(const std::string& text, ImageRect* region)
{
    long values[4] = {};
    std::size_t position = 0;
    for (int i = 0; i < 4; ++i) {
        const std::size_t end = i < 3 ? text.find(',', position) : text.size();
        if (end == std::string::npos)
            return true;
        const std::string field = text.substr(position, end - position);
        const bool number = !field.empty() && field.size() <= 9
            && field.find_first_not_of("-0123456789") == std::string::npos
            && field.find('-', 1) == std::string::npos && field != "-";
        if (!number)
            return true;
        values[i] = std::stol(field);
        position = end + 1;
    }
    if (values[2] < 1 || values[3] < 1)
        return true;
    *region = {std::int32_t(values[0]), std::int32_t(values[1]),
        std::int32_t(values[0] + values[2]), std::int32_t(values[1] + values[3])};
    return false;
}

} // namespace

bool parseCliOptions(
    const std::vector<std::string>& arguments, CliOptions* options, std::string* message)
{
    *options = CliOptions {};
    if (arguments.empty()) {
        *message = "no command given; see morvanclarity --help";
        return true;
    }
    const std::string& command = arguments[0];
    if (command == "--help" || command == "-h" || command == "help") {
        options->command = CliCommand::Help;
        return false;
    }
    if (command == "--version") {
        options->command = CliCommand::Version;
        return false;
    }
    if (command != "deblur" && command != "kernel" && command != "estimate") {
        *message = "unknown command \"" + command + "\"; see morvanclarity --help";
        return true;
    }
    options->command = command == "deblur" ? CliCommand::Deblur
        : command == "kernel"              ? CliCommand::Kernel
                                           : CliCommand::Estimate;
    const bool estimating = options->command == CliCommand::Estimate;

    std::vector<std::string> files;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--quiet") {
            options->quiet = true;
            continue;
        }
        if (argument.rfind("--", 0) != 0) {
            files.push_back(argument);
            continue;
        }
        if (i + 1 >= arguments.size()) {
            *message = argument + " needs a value";
            return true;
        }
        const std::string& value = arguments[++i];
        int mode = 0;
        if (estimating && argument != "--mode" && argument != "--region") {
            *message = "estimate takes --mode and --region only, not " + argument;
            return true;
        }
        if (argument == "--output-dir" || argument == "--suffix" || argument == "--jobs") {
            if (options->command != CliCommand::Deblur) {
                *message = argument + " is for deblur";
                return true;
            }
            if (argument == "--output-dir") {
                if (value.empty()) {
                    *message = "--output-dir needs a folder";
                    return true;
                }
                options->outputFolder = value;
            } else if (argument == "--suffix") {
                if (value.find('/') != std::string::npos) {
                    *message = "--suffix cannot hold a /";
                    return true;
                }
                options->suffix = value;
            } else {
                const bool digits = !value.empty() && value.size() <= 2
                    && value.find_first_not_of("0123456789") == std::string::npos;
                options->jobs = digits ? std::stoi(value) : 0;
                if (options->jobs < 1 || options->jobs > 64) {
                    *message = "--jobs takes a whole number from 1 to 64, not \"" + value + "\"";
                    return true;
                }
            }
        } else if (argument == "--region") {
            if (parseRegion(value, &options->region)) {
                *message = "--region takes X,Y,WIDTH,HEIGHT in whole pixels, not \"" + value + "\"";
                return true;
            }
        } else if (argument == "--mode") {
            if (choose(Modes, argument, value, &mode, message))
                return true;
            options->choices.motionMode = mode == 1;
        } else if (argument == "--method") {
            if (choose(Methods, argument, value, &options->choices.method, message))
                return true;
        } else if (argument == "--power") {
            if (choose(Powers, argument, value, &options->choices.power, message))
                return true;
        } else if (argument == "--noise") {
            if (choose(NoiseLevels, argument, value, &options->choices.noise, message))
                return true;
        } else if (argument == "--detail" && value == "auto") {
            options->estimateDetail = true;
        } else if (argument == "--detail") {
            // Decimal digits only: strtod would also take 0x10, 1e1 and a fraction that rounds
            // to a whole number.
            const bool digits = !value.empty() && value.size() <= 2
                && value.find_first_not_of("0123456789") == std::string::npos;
            const int detail = digits ? std::stoi(value) : 0;
            if (detail < 1 || detail > 50) {
                *message = "--detail takes a whole number from 1 to 50, not \"" + value + "\"";
                return true;
            }
            options->choices.detail = detail;
        } else if (argument == "--points" && value == "auto") {
            options->estimatePoints = true;
        } else if (argument == "--points") {
            if (parseMotionPoints(value, &options->choices.points)) {
                *message = "--points takes X,Y;X,Y;... in image pixels, not \"" + value + "\"";
                return true;
            }
        } else if (argument == "--psf") {
            if (value.empty()) {
                *message = "--psf needs the path of a picture";
                return true;
            }
            options->psf = value;
        } else {
            *message = "unknown option " + argument + "; see morvanclarity --help";
            return true;
        }
    }

    const bool folderMode
        = options->command == CliCommand::Deblur && !options->outputFolder.empty();
    if (folderMode) {
        if (files.empty()) {
            *message = "deblur --output-dir needs at least one INPUT file";
            return true;
        }
        options->inputs = files;
    } else if ((options->jobs != 1 || options->suffix != "-sharp")
        && options->command == CliCommand::Deblur) {
        *message = "--suffix and --jobs go with --output-dir";
        return true;
    }
    const std::size_t expected = options->command == CliCommand::Deblur ? 2 : 1;
    if (!folderMode && files.size() != expected) {
        *message = options->command == CliCommand::Deblur
            ? "deblur needs an INPUT and an OUTPUT file"
            : estimating ? "estimate needs one INPUT file"
                         : "kernel needs one OUTPUT file";
        return true;
    }
    if (estimating) {
        options->input = files[0];
        return false;
    }
    if (folderMode) {
        // Checked below with the kernel choices; the inputs are taken one by one.
    } else if (options->command == CliCommand::Deblur) {
        options->input = files[0];
        options->output = files[1];
    } else {
        options->output = files[0];
    }
    DeblurChoices checked = options->choices;
    checked.kernelSource = kernelSourceOf(*options);
    const DeblurFailure fault = checkChoices(checked);
    if (fault == DeblurFailure::PointsWithoutMotion
        || (options->estimatePoints && !checked.motionMode)) {
        *message = "--points draws a motion path: it needs --mode motion";
        return true;
    }
    if (fault == DeblurFailure::TooFewPoints) {
        *message = "motion mode needs at least two --points (or a --psf picture)";
        return true;
    }
    return false;
}

KernelSource kernelSourceOf(const CliOptions& options)
{
    if (!options.psf.empty())
        return KernelSource::Picture;
    const bool estimated
        = options.choices.motionMode ? options.estimatePoints : options.estimateDetail;
    return estimated ? KernelSource::Estimated : KernelSource::Built;
}

std::string cliUsage()
{
    return R"(Usage:
  morvanclarity deblur INPUT OUTPUT [options]
  morvanclarity deblur INPUT... --output-dir FOLDER [--suffix TEXT] [--jobs N] [options]
  morvanclarity kernel OUTPUT.png [options]   writes the point-spread function as a picture
  morvanclarity estimate INPUT [--mode focus|motion] [--region X,Y,W,H]
                            finds the blur: prints the deblur options that undo it
  morvanclarity --help | --version

Removes out-of-focus or motion blur from a photograph by Richardson-Lucy deconvolution.

Options:
  --mode focus|motion       the kind of blur (default focus)
  --detail 1..50|auto       level of details: the width of the out-of-focus spot (default 12);
                            auto estimates it from the photograph first
  --method progressive|smoothing
                            deblurring method (default progressive)
  --power low|medium|high   deblurring power: the number of iterations (default medium)
  --noise clear|medium|noisy
                            noise level, for the smoothing method (default medium)
  --points X,Y;X,Y;...|auto the path of the camera shake in image pixels (motion mode, at least
                            2); auto estimates a straight path from the photograph first
  --region X,Y,W,H          estimate: the part of the photograph to look at (default all of it)
  --psf PICTURE             a point-spread function from a picture, instead of the built one
  --output-dir FOLDER       deblur every INPUT into FOLDER (which must exist), as NAME-sharp.EXT
                            (PNG for inputs whose format is read but not written); a bad file is
                            reported and skipped, and the exit status is the worst of the photos'
  --suffix TEXT             what follows NAME in those files' names (default -sharp)
  --jobs N                  photos deblurred side by side (default 1). Each photo already uses
                            every core, so more jobs pay only for many small photos; fewer run
                            when the memory available would not hold them
  --quiet                   no progress bar and no summary

Input: PNG, TIFF, JPEG or BMP, 8 or 16 bits, gray or colour, with or without alpha. The output
keeps the input's depth, channels, alpha and colour profile where its format can hold them (JPEG
holds 8-bit pixels without alpha, BMP 8-bit pixels); its format follows its extension: .png,
.tif/.tiff, .jpg/.jpeg, .bmp.
The output appears only when the whole job succeeded.

Exit status: 0 done, 1 the job could not finish (memory), 2 bad command line, 3 bad input image,
4 bad point-spread function, 5 output not writable, 130 interrupted (143 terminated,
129 hung up).
)";
}
