#include "hostSide/filterResult.h"
#include "hostStandIn/imageFile.h"
#include "tests/support/pngWriter.h"
#include "tests/support/temporaryFolder.h"

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

// The filter's window is closed as soon as it is up, as a user who applies nothing would; its
// settings file goes to a folder of the test's own.
std::string hostCommand(const std::string& arguments)
{
    static const TemporaryFolder configHome;
    return "XDG_CONFIG_HOME=" + configHome.path() + " " + HOST_PROGRAM + " --module " + MODULE_PATH
        + " --close-after 0 " + arguments;
}

int runHost(const std::string& arguments)
{
    const std::string command = hostCommand(arguments) + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs the host with its standard error in `messages`.
int runHostSaying(const std::string& arguments, std::string* messages)
{
    const TemporaryFolder folder;
    const std::string command = hostCommand(arguments) + " 2>" + folder.file("stderr");
    const int status = std::system(command.c_str());
    *messages = readFileBytes(folder.file("stderr"));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A picture with a different value in every sample; 16-bit samples are levels of the host's
// range, which is what a 16-bit document can hold.
QImage patternImage(QImage::Format format)
{
    QImage image(7, 5, format);
    const bool deep = image.depth() >= 16 && format != QImage::Format_Grayscale8;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int seed = 37 * x + 11 * y;
            if (format == QImage::Format_Grayscale16) {
                reinterpret_cast<quint16*>(image.scanLine(y))[x]
                    = quint16(fileOfHost16(seed * 300 % 32769));
            } else if (deep) {
                const auto level
                    = [&](int c) { return fileOfHost16((seed + c * 97) * 91 % 32769); };
                image.setPixelColor(
                    x, y, QColor::fromRgba64(level(0), level(1), level(2), level(3)));
            } else {
                image.setPixelColor(x, y,
                    QColor(seed % 256, (seed + 90) % 256, (seed + 180) % 256, (seed * 3) % 256));
            }
        }
    }
    return image;
}

bool samePixels(const std::string& first, const std::string& second)
{
    const QImage a = QImage(QString::fromStdString(first)).convertToFormat(QImage::Format_RGBA64);
    const QImage b = QImage(QString::fromStdString(second)).convertToFormat(QImage::Format_RGBA64);
    return !a.isNull() && a == b;
}

struct PictureCase {
    const char* name;
    QImage::Format format;
    const char* suffix;
};

void PrintTo(const PictureCase& picture, std::ostream* stream)
{
    *stream << picture.name;
}

class HostProgram : public ::testing::TestWithParam<PictureCase> { };

// A window closed without applying anything gives every picture back unchanged.
TEST_P(HostProgram, WritesThePicturesPixelsUnchanged)
{
    TemporaryFolder folder;
    const std::string input = folder.file(std::string("in.") + GetParam().suffix);
    const std::string output = folder.file(std::string("out.") + GetParam().suffix);
    ASSERT_TRUE(patternImage(GetParam().format).save(QString::fromStdString(input)));
    ASSERT_EQ(runHost(input + " " + output), 0);
    EXPECT_TRUE(samePixels(input, output));
    EXPECT_EQ(QImage(QString::fromStdString(output)).format(),
        QImage(QString::fromStdString(input)).format());
}

INSTANTIATE_TEST_SUITE_P(Pictures, HostProgram,
    ::testing::Values(PictureCase {"gray8Png", QImage::Format_Grayscale8, "png"},
        PictureCase {"gray16Png", QImage::Format_Grayscale16, "png"},
        PictureCase {"rgb8Png", QImage::Format_RGB888, "png"},
        PictureCase {"rgba8Png", QImage::Format_RGBA8888, "png"},
        PictureCase {"rgb16Png", QImage::Format_RGBX64, "png"},
        PictureCase {"rgba16Png", QImage::Format_RGBA64, "png"},
        PictureCase {"gray8Tiff", QImage::Format_Grayscale8, "tif"},
        PictureCase {"gray16Tiff", QImage::Format_Grayscale16, "tif"},
        PictureCase {"rgb8Tiff", QImage::Format_RGB888, "tif"},
        PictureCase {"rgb16Tiff", QImage::Format_RGBX64, "tif"},
        PictureCase {"rgba16Tiff", QImage::Format_RGBA64, "tif"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HostProgramRuns, GrayWithTransparencyComesBackWithTheSameSamples)
{
    TemporaryFolder folder;
    for (const int bits : {8, 16}) {
        std::vector<int> samples;
        for (int i = 0; i < 4 * 3 * 2; ++i)
            samples.push_back(bits == 8 ? (i * 29) % 256 : fileOfHost16(i * 1301));
        writeGrayAlphaPng(folder.file("in.png"), 4, 3, bits, samples);
        ASSERT_EQ(runHost(folder.file("in.png") + " " + folder.file("out.png")), 0);
        EXPECT_TRUE(samePixels(folder.file("in.png"), folder.file("out.png"))) << bits;
    }
}

TEST(HostProgramRuns, ScriptedRunsWithoutTheDialogGiveThePictureBack)
{
    TemporaryFolder folder;
    const std::string input = folder.file("in.png");
    ASSERT_TRUE(patternImage(QImage::Format_RGB888).save(QString::fromStdString(input)));
    const std::string config = "XDG_CONFIG_HOME=" + folder.path() + " ";
    ASSERT_EQ(
        std::system((config + HOST_PROGRAM + " --module " + MODULE_PATH
            + " --no-dialog --percent 50 --disposition 3 " + input + " " + folder.file("out.png"))
                        .c_str()),
        0);
    EXPECT_TRUE(samePixels(input, folder.file("out.png")));
}

TEST(HostProgramRuns, FailedRunsWriteNoFile)
{
    TemporaryFolder folder;
    const std::string input = folder.file("in.png");
    ASSERT_TRUE(patternImage(QImage::Format_RGB888).save(QString::fromStdString(input)));
    const std::string badModule = std::string(HOST_PROGRAM) + " --module /nonexistent.so " + input
        + " " + folder.file("out.png") + " 2>/dev/null";
    EXPECT_NE(std::system(badModule.c_str()), 0);
    EXPECT_NE(runHost(folder.file("missing.png") + " " + folder.file("out.png")), 0);
    EXPECT_EQ(runHost("only-one-argument"), 64);
    EXPECT_NE(runHost(input + " " + folder.file("out.unknownformat")), 0);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path()))
        ++files;
    EXPECT_EQ(files, 1) << "only the input is there: no output, no temporary file";
}

// Bad pictures are refused in a sentence of the stand-in's own, without the libraries' noise,
// before anything is written; a cut-short picture is never filled from stale memory.
TEST(HostProgramRuns, BadPicturesAreRefusedInWords)
{
    TemporaryFolder folder;
    const std::string whole = folder.file("whole.bmp");
    ASSERT_TRUE(patternImage(QImage::Format_RGB888).save(QString::fromStdString(whole)));
    const std::string bytes = readFileBytes(whole);
    writeFileBytes(folder.file("cut.bmp"), bytes.substr(0, 60));
    writeFileBytes(folder.file("cut.tif"), std::string("II*\0\x08\0\0\0\x10\0", 10));
    const std::string out = folder.file("out.png");
    const struct {
        std::string input;
        const char* message;
    } cases[] = {
        {folder.file("cut.bmp"), "the file is truncated"},
        {folder.file("cut.tif"), "the file is truncated"},
        {folder.path(), "it is a folder, not a file"},
    };
    for (const auto& c : cases) {
        std::string messages;
        EXPECT_EQ(runHostSaying(c.input + " " + out, &messages), 1) << c.input;
        EXPECT_EQ(messages, "morvanclarity-host: " + c.input + ": " + c.message + "\n");
    }
    std::string messages;
    EXPECT_EQ(runHostSaying(whole + " " + folder.file("none/out.png"), &messages), 1);
    EXPECT_NE(messages.find("does not exist"), std::string::npos) << messages;
    EXPECT_FALSE(fileExists(out));
}

// Numbers the host's records cannot hold are malformed command lines, like missing values.
TEST(HostProgramRuns, RefusesScriptedValuesTheRecordsCannotHold)
{
    TemporaryFolder folder;
    const std::string input = folder.file("in.png");
    ASSERT_TRUE(patternImage(QImage::Format_RGB888).save(QString::fromStdString(input)));
    const std::string files = " " + input + " " + folder.file("out.png");
    for (const char* option : {"--disposition 1e10", "--disposition nan", "--disposition -32769",
             "--disposition 32768", "--disposition inf", "--percent nan", "--percent inf",
             "--percent -inf", "--percent 1e999"}) {
        std::string messages;
        EXPECT_EQ(runHostSaying(std::string("--no-dialog ") + option + files, &messages), 64)
            << option;
        EXPECT_NE(messages.find("usage:"), std::string::npos) << option;
    }
    EXPECT_FALSE(fileExists(folder.file("out.png")));
    EXPECT_EQ(runHost("--no-dialog --disposition -32768 --percent 1e6" + files), 0);
}

// Wider than 16 bits can say: the module works on the whole picture through the big-document
// fields, and without them the run is refused in words.
TEST(HostProgramRuns, WidePicturesTravelWholeOrAreRefusedWithAReason)
{
    TemporaryFolder folder;
    const std::string input = folder.file("wide.png");
    QImage wide(40000, 2, QImage::Format_Grayscale8);
    for (int y = 0; y < wide.height(); ++y)
        for (int x = 0; x < wide.width(); ++x)
            wide.scanLine(y)[x] = uchar((x * 7 + y) % 256);
    ASSERT_TRUE(wide.save(QString::fromStdString(input)));

    std::string messages;
    ASSERT_EQ(runHostSaying(input + " " + folder.file("out.png"), &messages), 0) << messages;
    EXPECT_TRUE(samePixels(input, folder.file("out.png")));

    EXPECT_EQ(
        runHostSaying("--no-big-document " + input + " " + folder.file("refused.png"), &messages),
        1);
    EXPECT_FALSE(fileExists(folder.file("refused.png")));
    EXPECT_NE(messages.find("size, planes or depth"), std::string::npos) << messages;
    EXPECT_NE(messages.find("-30101"), std::string::npos) << messages;
}

// Codes the stand-in has no sentence for still say what happened, with the number.
TEST(FilterResultMessages, KeepTheNumberOfCodesWithoutASentence)
{
    EXPECT_EQ(filterResultMessage(-4242), "the filter failed with error -4242");
    EXPECT_EQ(filterResultMessage(memFullErr), "the filter ran out of memory (error -108)");
}

} // namespace
