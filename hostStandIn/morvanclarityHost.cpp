// morvanclarity-host: plays the host image editor's part for a filter module. Loads the module,
// reads the picture, runs the filter's selectors over it and writes the result.

#include "hostSide/filterModule.h"
#include "hostSide/filterResult.h"
#include "hostSide/hostSession.h"
#include "hostStandIn/imageFile.h"
#include "hostStandIn/windowCloser.h"
#include "platform/wholeFiles.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifndef MORVANCLARITY_DEFAULT_MODULE
#define MORVANCLARITY_DEFAULT_MODULE "Morvanclarity.so"
#endif

namespace {

constexpr const char* usage
    = "usage: morvanclarity-host [options] input output\n"
      "  --module PATH        the filter module (default: " MORVANCLARITY_DEFAULT_MODULE ")\n"
      "  --about              show the module's About box first\n"
      "  --options            ask for the filter's dialog (the Parameters step)\n"
      "  --no-dialog          play a scripted run without the dialog\n"
      "  --percent N          scripted amount (with --no-dialog)\n"
      "  --disposition N      scripted disposition 0..3 (with --no-dialog)\n"
      "  --ignore-selection   scripted ignore-selection flag (with --no-dialog)\n"
      "  --selection          give the document a selection\n"
      "  --no-big-document    offer only 16-bit rectangles\n"
      "  --close-after MS     close the filter's window after MS milliseconds\n"
      "  --screenshot PATH    with --close-after: save a picture of the window first\n";

struct Arguments {
    std::string module = MORVANCLARITY_DEFAULT_MODULE;
    std::string input;
    std::string output;
    RunOptions run;
    bool selection = false;
    bool bigDocument = true;
    int closeAfter = -1; // milliseconds; -1 leaves the window to the user
    std::string screenshot; // where to save the window's picture before closing it
};

// A finite number; returns true when the text is malformed. Infinities, NaN and numbers beyond a
// double are malformed.
[[nodiscard]] bool parseNumber(const char* text, double* value)
{
    char* end = nullptr;
    *value = std::strtod(text, &end);
    return end == text || *end != '\0' || !std::isfinite(*value);
}

// The scripted disposition is a 16-bit value, as in the module's parameters. One that does not
// fit is refused like any malformed command line rather than clamped: the nearest 16-bit value
// would mean no more, since everything but 0, 2 and 3 is scripted as 1. Within range it is
// truncated toward zero. The amount is only required to be finite: it travels as a float, and
// the module clamps it to its 16-bit field as it does any scripted amount. Returns true when the
// text is refused.
[[nodiscard]] bool parseDisposition(const char* text, int16* disposition)
{
    double number = 0.0;
    if (parseNumber(text, &number) || number <= -32769.0 || number >= 32768.0)
        return true;
    *disposition = int16(number);
    return false;
}

// Returns true when the command line is malformed.
bool parseArguments(int argc, char** argv, Arguments* arguments)
{
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        double number = 0.0;
        if (argument == "--module" && hasValue) {
            arguments->module = argv[++i];
        } else if (argument == "--about") {
            arguments->run.about = true;
        } else if (argument == "--options") {
            arguments->run.withOptions = true;
        } else if (argument == "--no-dialog") {
            arguments->run.scripted = true;
            arguments->run.playInfo = plugInDialogDontDisplay;
        } else if (argument == "--percent" && hasValue && !parseNumber(argv[i + 1], &number)) {
            arguments->run.percent = number;
            ++i;
        } else if (argument == "--disposition" && hasValue
            && !parseDisposition(argv[i + 1], &arguments->run.disposition)) {
            ++i;
        } else if (argument == "--ignore-selection") {
            arguments->run.ignoreSelection = true;
        } else if (argument == "--selection") {
            arguments->selection = true;
        } else if (argument == "--close-after" && hasValue && !parseNumber(argv[i + 1], &number)
            && number >= 0 && number <= 3600000) {
            arguments->closeAfter = int(number);
            ++i;
        } else if (argument == "--screenshot" && hasValue) {
            arguments->screenshot = argv[++i];
        } else if (argument == "--no-big-document") {
            arguments->bigDocument = false;
        } else if (argument.rfind("--", 0) != 0 && positional == 0) {
            arguments->input = argument;
            ++positional;
        } else if (argument.rfind("--", 0) != 0 && positional == 1) {
            arguments->output = argument;
            ++positional;
        } else {
            return true;
        }
    }
    return positional != 2 || (!arguments->screenshot.empty() && arguments->closeAfter < 0);
}

void reportFilterFailure(int16 result)
{
    std::fprintf(
        stderr, "morvanclarity-host: %s; nothing written\n", filterResultMessage(result).c_str());
}

int runHost(const Arguments& arguments)
{
    std::string error;
    // A job must not run only to find that its result cannot be written.
    if (cannotCreateFile(arguments.output, &error)) {
        std::fprintf(stderr, "morvanclarity-host: %s: cannot be written: %s\n",
            arguments.output.c_str(), error.c_str());
        return 1;
    }
    HostImage image;
    if (readImageFile(arguments.input, &image, &error)) {
        std::fprintf(stderr, "morvanclarity-host: %s\n", error.c_str());
        return 1;
    }
    FilterModule module;
    if (loadFilterModule(arguments.module, &module, &error)) {
        std::fprintf(stderr, "morvanclarity-host: %s\n", error.c_str());
        return 1;
    }
    if (arguments.closeAfter >= 0
        && closeWindowsAfter(arguments.closeAfter, arguments.screenshot)) {
        std::fprintf(stderr, "morvanclarity-host: --close-after needs a display\n");
        return 1;
    }
    HostSession session;
    session.selectionMask = arguments.selection;
    session.offerBigDocument = arguments.bigDocument;
    openSession(&session, module.entry, &image);
    const int16 result = runFilter(&session, arguments.run);
    closeSession(&session);
    unloadFilterModule(&module);
    endWindowCloser();
    if (result == userCanceledErr) {
        reportFilterFailure(result);
        return 2;
    }
    if (result != noErr) {
        reportFilterFailure(result);
        return 1;
    }
    if (writeImageFile(arguments.output, image, &error)) {
        std::fprintf(stderr, "morvanclarity-host: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    Arguments arguments;
    if (parseArguments(argc, argv, &arguments)) {
        std::fputs(usage, stderr);
        return 64;
    }
    return runHost(arguments);
}
