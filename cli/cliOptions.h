#pragma once

// The command line of the batch tool:
//   morvanclarity deblur INPUT OUTPUT [options]
//   morvanclarity deblur INPUT... --output-dir DIR [--suffix S] [--jobs N] [options]
//   morvanclarity kernel OUTPUT.png [options]
//   morvanclarity estimate INPUT [--mode focus|motion] [--region X,Y,W,H]
//   morvanclarity --help | --version

#include "choices/deblurChoices.h"

#include <string>
#include <vector>

enum class CliCommand { Deblur, Kernel, Estimate, Help, Version };

// Exit statuses, listed in the help text.
enum CliExit : int {
    ExitSuccess = 0,
    ExitJobFailed = 1, // the job could not run to its end: memory, or tiles left undone
    ExitUsage = 2, // unknown option, missing argument, value out of range, too few points
    ExitBadInput = 3, // input unreadable, of an unsupported kind, or too small
    ExitBadPsf = 4, // PSF picture unreadable, refused, all black or too large; no kernel
    ExitBadOutput = 5, // output of an unknown kind or not writable
    ExitInterrupted = 130, // stopped with Ctrl-C (SIGTERM gives 143, SIGHUP 129)
};

struct CliOptions {
    CliCommand command = CliCommand::Help;
    std::string input;
    std::string output;
    DeblurChoices choices; // the deblur choices; a PSF picture is read when the run starts
    std::string psf; // --psf: the point-spread function picture; empty for the built kernel
    bool estimateDetail = false; // --detail auto: the level found in the picture first
    bool estimatePoints = false; // --points auto: a straight motion path found in it first
    ImageRect region {}; // estimate: the part of the picture to look at; empty = all of it
    // Several photos: every input goes to outputFolder as NAME + suffix + its extension.
    std::vector<std::string> inputs;
    std::string outputFolder; // empty: one INPUT and its OUTPUT
    std::string suffix = "-sharp";
    int jobs = 1; // photos deblurred side by side
    bool quiet = false;
};

// Parses the arguments after the program name. Returns true with a one-line message when they
// are not valid (exit status ExitUsage).
[[nodiscard]] bool parseCliOptions(
    const std::vector<std::string>& arguments, CliOptions* options, std::string* message);

std::string cliUsage();

// Where the options say the kernel comes from: the PSF picture when one is named, else the
// picture's own estimate where one is asked for in the mode chosen, else the built kernel.
KernelSource kernelSourceOf(const CliOptions& options);
