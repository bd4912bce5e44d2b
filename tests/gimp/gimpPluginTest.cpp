// The plug-in inside GIMP: one headless gimp-console run, with a GIMP folder that holds only our
// plug-in, plays every case through Script-Fu and saves what each left in the layer; the checks
// compare those files with the batch tool's results and with the inputs. gimp-console can end
// with status 0 after a failed call, so every check reads the files themselves.

#include "tests/support/temporaryFolder.h"

#include <QColor>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

constexpr int Width = 120;
constexpr int Height = 90;
// The selection of the selection case, in image pixels.
constexpr int SelLeft = 30, SelTop = 20, SelWidth = 70, SelHeight = 60;

// Picture content: a soft gradient with sharp bars, so a deblur changes it everywhere.
int pattern(int x, int y, int channel)
{
    const int bars = (x / 9 + y / 13 + channel) % 3 == 0 ? 90 : 0;
    return (x * 2 + y + channel * 40 + bars) % 256;
}

void makeInputs(const TemporaryFolder& folder)
{
    QImage rgb(Width, Height, QImage::Format_RGB888);
    QImage gray(Width, Height, QImage::Format_Grayscale8);
    QImage rgba(Width, Height, QImage::Format_RGBA8888);
    QImage deep(Width, Height, QImage::Format_RGBX64);
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            rgb.setPixelColor(x, y, QColor(pattern(x, y, 0), pattern(x, y, 1), pattern(x, y, 2)));
            gray.setPixelColor(x, y, QColor(pattern(x, y, 1), pattern(x, y, 1), pattern(x, y, 1)));
            // Alpha never 0: GIMP's PNG export may drop the colour of invisible pixels.
            rgba.setPixelColor(x, y,
                QColor(pattern(x, y, 2), pattern(x, y, 0), pattern(x, y, 1),
                    1 + (x * 7 + y * 3) % 255));
            deep.setPixelColor(x, y,
                QColor::fromRgba64(quint16(pattern(x, y, 0) * 257 + x),
                    quint16(pattern(x, y, 1) * 251 + y), quint16(pattern(x, y, 2) * 256 + x + y)));
        }
    }
    ASSERT_TRUE(rgb.save(QString::fromStdString(folder.file("rgb8.png"))));
    ASSERT_TRUE(gray.save(QString::fromStdString(folder.file("gray8.png"))));
    ASSERT_TRUE(rgba.save(QString::fromStdString(folder.file("rgba8.png"))));
    ASSERT_TRUE(deep.save(QString::fromStdString(folder.file("rgb16.png"))));
    ASSERT_TRUE(rgb.copy(SelLeft, SelTop, SelWidth, SelHeight)
                    .save(QString::fromStdString(folder.file("rgb8-box.png"))));
    QImage psf(9, 9, QImage::Format_Grayscale8);
    psf.fill(0);
    for (int i = 2; i < 7; ++i)
        psf.setPixelColor(i, 4 + (i % 2), QColor(200, 200, 200));
    ASSERT_TRUE(psf.save(QString::fromStdString(folder.file("psf.png"))));
}

// Script-Fu that loads a file, runs a call on its layer and saves the layer as `output`; a failed
// call is caught, and the layer is then saved as `output` only when `saveOnFailure`.
std::string scriptCase(const TemporaryFolder& folder, const std::string& input,
    const std::string& prelude, const std::string& call, const std::string& output,
    bool saveOnFailure = false)
{
    const std::string out = folder.file(output);
    std::ostringstream script;
    script << "(let* ((img (car (gimp-file-load RUN-NONINTERACTIVE \"" << folder.file(input)
           << "\" \"" << input << "\"))) (drw (car (gimp-image-get-active-drawable img)))) "
           << prelude << " (if " << (saveOnFailure ? "(not " : "(begin ") << "(catch #f " << call
           << "))"
           << " (file-png-save2 RUN-NONINTERACTIVE img drw \"" << out << "\" \"" << output
           << "\" 0 9 0 0 0 0 0 0 1)) (gimp-image-delete img))\n";
    return script.str();
}

std::string call(const std::string& runMode, const std::string& choices)
{
    return "(plug-in-morvanclarity " + runMode + " img drw " + choices + ")";
}

class GimpPlugin : public testing::Test {
protected:
    static TemporaryFolder* folder;
    static std::string log; // what gimp-console and the batch tool printed

    static std::string file(const std::string& name) { return folder->file(name); }

    static void batchTool(
        const std::string& input, const std::string& output, const std::string& options)
    {
        const std::string command = "XDG_CONFIG_HOME=" + file("config")
            + " " MORVANCLARITY_TOOL " deblur " + file(input) + " " + file(output) + " --quiet "
            + options + " >>" + file("log.txt") + " 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    static void SetUpTestSuite()
    {
        if (::access(GIMP_CONSOLE, X_OK) != 0)
            GTEST_SKIP() << "gimp-console-2.10 is not installed";
        folder = new TemporaryFolder;
        makeInputs(*folder);
        // The batch tool first: the plug-in then takes the FFT plans it measured from the shared
        // settings folder instead of measuring them again.
        batchTool("rgb8.png", "rgb8-cli.png", "");
        batchTool("rgba8.png", "rgba8-cli.png",
            "--detail 8 --method smoothing --power high --noise noisy");
        const std::string motion = "--mode motion --power low --points \"20,30;60,40;90,35\"";
        batchTool("rgb16.png", "rgb16-cli.png", motion);
        batchTool("gray8.png", "gray8-cli.png", motion);
        batchTool("rgb8-box.png", "rgb8-box-cli.png", "");
        batchTool("rgb8.png", "psf-cli.png", "--psf " + file("psf.png"));
        batchTool("rgb8.png", "auto-cli.png", "--detail auto");

        const std::string plugins = file("gimp/plug-ins");
        std::string script;
        script += scriptCase(*folder, "rgb8.png", "",
            call("RUN-NONINTERACTIVE", "0 12 0 1 1 \"\" \"\""), "rgb8-gimp.png");
        script += scriptCase(*folder, "rgba8.png", "",
            call("RUN-NONINTERACTIVE", "0 8 1 2 2 \"\" \"\""), "rgba8-gimp.png");
        script += scriptCase(*folder, "rgb16.png", "",
            call("RUN-NONINTERACTIVE", "1 12 0 0 1 \"20,30;60,40;90,35\" \"\""), "rgb16-gimp.png");
        // The gray picture repeats the 16-bit picture's choices.
        script += scriptCase(*folder, "gray8.png", "",
            call("RUN-WITH-LAST-VALS", "0 12 0 1 1 \"\" \"\""), "gray8-gimp.png");
        script += scriptCase(*folder, "rgb8.png",
            "(gimp-image-select-rectangle img CHANNEL-OP-REPLACE " + std::to_string(SelLeft) + " "
                + std::to_string(SelTop) + " " + std::to_string(SelWidth) + " "
                + std::to_string(SelHeight) + ")",
            call("RUN-NONINTERACTIVE", "0 12 0 1 1 \"\" \"\""), "selection-gimp.png");
        script += scriptCase(*folder, "rgb8.png", "",
            call("RUN-NONINTERACTIVE", "0 12 0 1 1 \"\" \"" + file("psf.png") + "\""),
            "psf-gimp.png");
        script += scriptCase(*folder, "rgb8.png", "",
            call("RUN-NONINTERACTIVE", "0 0 0 1 1 \"\" \"\""), "auto-gimp.png");
        script += scriptCase(*folder, "rgb8.png", "",
            call("RUN-INTERACTIVE", "0 12 0 1 1 \"\" \"\""), "interactive-gimp.png");
        // The same window closed without a correction: the image, clean as a user opens it, must
        // stay clean (a file loaded by a script counts as changed until it is cleaned).
        script += "(let* ((img (car (gimp-file-load RUN-NONINTERACTIVE \"" + file("rgb8.png")
            + "\" \"rgb8.png\"))) (drw (car (gimp-image-get-active-drawable img)))) "
              "(gimp-image-clean-all img) "
              "(catch #f "
            + call("RUN-INTERACTIVE", "0 12 0 1 1 \"\" \"\"")
            + ") (gimp-message (if (= (car (gimp-image-is-dirty img)) 0) \"image clean after "
              "no result\" \"image dirty after no result\")) (gimp-image-delete img))\n";
        // Failures: each must be refused with a message and leave the layer as it was.
        script += scriptCase(*folder, "rgb8.png", "",
            call("RUN-NONINTERACTIVE", "1 12 0 1 1 \"1,2\" \"\""), "fail-points.png", true);
        script += scriptCase(*folder, "rgb8.png", "",
            call("RUN-NONINTERACTIVE", "0 12 0 1 1 \"\" \"" + file("missing.png") + "\""),
            "fail-psf.png", true);
        script += scriptCase(*folder, "rgb8.png", "",
            call("RUN-NONINTERACTIVE", "0 99 0 1 1 \"\" \"\""), "fail-detail.png", true);
        script += scriptCase(*folder, "rgb8.png",
            "(gimp-image-convert-indexed img CONVERT-DITHER-NONE CONVERT-PALETTE-GENERATE 255 "
            "FALSE "
            "FALSE \"\")",
            call("RUN-NONINTERACTIVE", "0 12 0 1 1 \"\" \"\""), "fail-indexed.png", true);
        {
            std::ofstream out(file("cases.scm"));
            out << script;
        }
        const std::string command = "mkdir -p " + plugins + " " + file("gimp/gradients")
            + " && cp -r " MORVANCLARITY_GIMP_FOLDER " " + plugins + " && cd " + folder->path()
            + " && GIMP2_DIRECTORY=" + file("gimp") + " XDG_CONFIG_HOME=" + file("config")
            + " LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen " GIMP_CONSOLE
              " -i -d -f -n --batch-interpreter plug-in-script-fu-eval -b '(load \""
            + file("cases.scm") + "\")' -b '(gimp-quit 0)' >>" + file("log.txt") + " 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        std::ifstream in(file("log.txt"));
        log.assign(std::istreambuf_iterator<char>(in), {});
    }

    void SetUp() override
    {
        if (!folder)
            GTEST_SKIP() << "gimp-console-2.10 is not installed";
    }

    static void TearDownTestSuite()
    {
        delete folder;
        folder = nullptr;
    }

    static QImage read(const std::string& name, QImage::Format format)
    {
        QImage image(QString::fromStdString(file(name)));
        EXPECT_FALSE(image.isNull()) << name << " was not written; log:\n" << log;
        return image.convertToFormat(format);
    }

    // Pixels of two files as `format`, compared over a rectangle: every 16-bit sample within
    // `tolerance`, and at least `sameShare` of the pixels identical.
    static void expectSame(const std::string& a, const std::string& b, QImage::Format format,
        QRect inA, QPoint inB = {0, 0}, int tolerance = 0, double sameShare = 1.0)
    {
        const QImage one = read(a, format);
        const QImage two = read(b, format);
        ASSERT_FALSE(one.isNull() || two.isNull());
        int beyond = 0;
        int differing = 0;
        for (int y = inA.top(); y <= inA.bottom(); ++y) {
            for (int x = inA.left(); x <= inA.right(); ++x) {
                const QRgba64 p = one.pixelColor(x, y).rgba64();
                const QRgba64 q
                    = two.pixelColor(x - inA.left() + inB.x(), y - inA.top() + inB.y()).rgba64();
                const int difference
                    = std::max({std::abs(p.red() - q.red()), std::abs(p.green() - q.green()),
                        std::abs(p.blue() - q.blue()), std::abs(p.alpha() - q.alpha())});
                beyond += difference > tolerance ? 1 : 0;
                differing += difference > 0 ? 1 : 0;
            }
        }
        EXPECT_EQ(beyond, 0) << a << " against " << b;
        EXPECT_LE(differing, (1.0 - sameShare) * inA.width() * inA.height())
            << a << " against " << b;
    }

    // The plug-in and the batch tool share the engine and its measured FFT plans (one
    // configuration folder), and the engine's result does not depend on how its work is split,
    // so the plug-in gives the batch tool's pixels exactly.
    static void expectBatchResult(
        const std::string& gimp, const std::string& batch, QImage::Format format, QRect inGimp)
    {
        expectSame(gimp, batch, format, inGimp);
    }

    static QRect whole() { return QRect(0, 0, Width, Height); }
};

TemporaryFolder* GimpPlugin::folder = nullptr;
std::string GimpPlugin::log;

TEST_F(GimpPlugin, DeblursAsTheBatchToolDoesAtEveryDepthAndLayout)
{
    expectBatchResult("rgb8-gimp.png", "rgb8-cli.png", QImage::Format_RGB888, whole());
    expectBatchResult("gray8-gimp.png", "gray8-cli.png", QImage::Format_Grayscale8, whole());
    expectBatchResult("rgb16-gimp.png", "rgb16-cli.png", QImage::Format_RGBA64, whole());
    expectBatchResult("psf-gimp.png", "psf-cli.png", QImage::Format_RGB888, whole());
    // Level of details 0: estimated from the image, as deblur --detail auto does.
    expectBatchResult("auto-gimp.png", "auto-cli.png", QImage::Format_RGB888, whole());
    // The deblur changed the picture: the comparisons above are not of two copies of the input.
    const QImage input = read("rgb8.png", QImage::Format_RGB888);
    EXPECT_NE(input, read("rgb8-gimp.png", QImage::Format_RGB888));
}

TEST_F(GimpPlugin, KeepsTheAlphaOfEveryPixel)
{
    // Colour and alpha together: the batch tool keeps the input's alpha as well.
    expectBatchResult("rgba8-gimp.png", "rgba8-cli.png", QImage::Format_RGBA8888, whole());
    const QImage input = read("rgba8.png", QImage::Format_RGBA8888);
    const QImage output = read("rgba8-gimp.png", QImage::Format_RGBA8888);
    ASSERT_EQ(input.size(), output.size());
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            ASSERT_EQ(qAlpha(input.pixel(x, y)), qAlpha(output.pixel(x, y))) << x << "," << y;
}

TEST_F(GimpPlugin, DeblursTheSelectionAloneAsTheBatchToolDoesItsBox)
{
    const QRect box(SelLeft, SelTop, SelWidth, SelHeight);
    expectSame("selection-gimp.png", "rgb8-box-cli.png", QImage::Format_RGB888, box);
    const QImage input = read("rgb8.png", QImage::Format_RGB888);
    const QImage output = read("selection-gimp.png", QImage::Format_RGB888);
    int changedOutside = 0;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            if (!box.contains(x, y) && input.pixel(x, y) != output.pixel(x, y))
                ++changedOutside;
    EXPECT_EQ(changedOutside, 0);
}

TEST_F(GimpPlugin, InteractiveRunHostsTheModuleOverTheLayer)
{
    // The module's window hands the picture back as it got it, so the layer is unchanged; the
    // file exists only when the run succeeded.
    expectSame("interactive-gimp.png", "rgb8.png", QImage::Format_RGB888, whole());
    EXPECT_NE(log.find("image clean after no result"), std::string::npos) << log;
}

TEST_F(GimpPlugin, FailuresReachGimpWithAMessageAndLeaveTheLayerAlone)
{
    for (const char* name : {"fail-points.png", "fail-psf.png", "fail-detail.png"})
        expectSame(name, "rgb8.png", QImage::Format_RGB888, whole());
    EXPECT_FALSE(read("fail-indexed.png", QImage::Format_RGB888).isNull());
    for (const char* message :
        {"at least two points", "missing.png", "level of details", "RGB and grayscale layers"})
        EXPECT_NE(log.find(message), std::string::npos) << message << "\n" << log;
}

} // namespace
