// morvanclarity-edit: the filter's window on a photograph for people without an image editor.
// Opens the photo given (or asks for one), lets the filter's window sharpen it, and saves the
// result where the person says. The filter module lies beside the program.

#include "edit/editorDialogs.h"
#include "edit/photoEditor.h"
#include "pictureFiles/photoFile.h"
#include "platform/paths.h"
#include "platform/version.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdio>
#include <string>

namespace {

constexpr const char* usage = R"(Usage: morvanclarity-edit [PHOTO]
  morvanclarity-edit --help | --version

Opens PHOTO in the Morvanclarity window, where out-of-focus or motion blur is removed with a live
preview. Without PHOTO an Open dialog asks for one. When the window closes with a result, a Save
dialog proposes NAME-sharp.EXT beside the original, in the original's format and depth, with its
transparency and colour profile; no file is replaced without asking, and a file appears only
once it is written whole. Closing the window without a result writes nothing.

Photos: PNG, TIFF, JPEG, BMP (and GIF, saved as PNG), 8 or 16 bits, gray or colour, with or
without transparency.

Options:
  --module PATH   the filter module (default: Morvanclarity.so beside the program)
  --help          this text
  --version       the program's version

Exit status: 0 saved, or nothing to save; 1 the photo or the filter failed; 64 bad command line.
)";

struct Arguments {
    std::string module;
    std::string photo;
};

enum class Parsed { Run, Done, Malformed };

Parsed parseArguments(int argc, char** argv, Arguments* arguments)
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help") {
            std::fputs(usage, stdout);
            return Parsed::Done;
        }
        if (argument == "--version") {
            std::printf("morvanclarity-edit %s\n", MorvanclarityVersion);
            return Parsed::Done;
        }
        if (argument == "--module" && i + 1 < argc)
            arguments->module = argv[++i];
        else if (argument.rfind("--", 0) != 0 && arguments->photo.empty())
            arguments->photo = argument;
        else
            return Parsed::Malformed;
    }
    return Parsed::Run;
}

int exitStatus(EditOutcome outcome)
{
    switch (outcome) {
    case EditOutcome::Saved:
    case EditOutcome::NoResult:
    case EditOutcome::Discarded:
        return 0;
    case EditOutcome::Unreadable:
    case EditOutcome::Failed:
        break;
    }
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    Arguments arguments;
    switch (parseArguments(argc, argv, &arguments)) {
    case Parsed::Done:
        return 0;
    case Parsed::Malformed:
        std::fputs(usage, stderr);
        return 64;
    case Parsed::Run:
        break;
    }
    if (arguments.module.empty())
        arguments.module = moduleDirectory() + "/Morvanclarity.so";
    // The filter module takes this application for its window rather than making its own.
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("morvanclarity-edit"));
    quietPictureLibraries();
    const DocumentFilter filter = [&arguments](HostImage* document, std::string* message) {
        return runModuleWindow(arguments.module, document, false, message);
    };
    if (!arguments.photo.empty())
        return exitStatus(editPhoto(QFile::decodeName(arguments.photo.c_str()), filter));
    // Asked for with the Open dialog: a photo that cannot be read lets the person choose again.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    for (;;) {
        const QString photo = askForPhoto(nullptr, folder);
        if (photo.isEmpty())
            return 0;
        const EditOutcome outcome = editPhoto(photo, filter);
        if (outcome != EditOutcome::Unreadable)
            return exitStatus(outcome);
        folder = QFileInfo(photo).absolutePath();
    }
}
