// morvanclarity: removes blur from photographs without a window.

#include "cli/cliOptions.h"
#include "cli/deblurCommand.h"
#include "cli/estimateCommand.h"
#include "cli/folderCommand.h"
#include "pictureFiles/photoFile.h"
#include "platform/version.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    quietPictureLibraries();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    CliOptions options;
    std::string message;
    if (parseCliOptions(arguments, &options, &message)) {
        std::fprintf(stderr, "morvanclarity: %s\n", message.c_str());
        return ExitUsage;
    }
    switch (options.command) {
    case CliCommand::Help:
        std::fputs(cliUsage().c_str(), stdout);
        return ExitSuccess;
    case CliCommand::Version:
        std::printf("morvanclarity %s\n", MorvanclarityVersion);
        return ExitSuccess;
    case CliCommand::Kernel:
        return runKernelCommand(options);
    case CliCommand::Estimate:
        return runEstimateCommand(options);
    case CliCommand::Deblur:
        break;
    }
    return options.outputFolder.empty() ? runDeblurCommand(options) : runFolderCommand(options);
}
