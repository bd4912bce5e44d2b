// The batch tool as users run it: a separate process, its exit status, its files.

#include "pictureFiles/pictureHeaders.h"
#include "pictureFiles/qimageFile.h"
#include "pictureFiles/tiffWithAlpha.h"
#include "tests/support/engineTestSupport.h"
#include "tests/support/pngWriter.h"
#include "tests/support/scopedEnvironment.h"
#include "tests/support/temporaryFolder.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <pty.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

class BatchTool : public testing::Test {
protected:
    BatchTool()
        : configHome("XDG_CONFIG_HOME", folder.path().c_str())
    {
    }

    // The tool's command line for quiet runs: its path, the arguments, --quiet, a null.
    static std::vector<char*> quietCommand(std::vector<std::string>* arguments)
    {
        arguments->insert(arguments->begin(), MORVANCLARITY_TOOL);
        arguments->push_back("--quiet");
        std::vector<char*> argv;
        for (std::string& argument : *arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        return argv;
    }

    // Starts the tool with the arguments; returns its process id.
    pid_t start(std::vector<std::string> arguments)
    {
        std::vector<char*> argv = quietCommand(&arguments);
        pid_t pid = 0;
        EXPECT_EQ(posix_spawn(&pid, MORVANCLARITY_TOOL, nullptr, nullptr, argv.data(), environ), 0);
        return pid;
    }
    static int exitStatus(pid_t pid)
    {
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    }
    int run(const std::vector<std::string>& arguments) { return exitStatus(start(arguments)); }

    // Runs the tool with files limited to `fileSizeLimit` bytes (a disk that fills up), and
    // keeps what it says on standard error.
    int runCapturing(std::vector<std::string> arguments, std::string* errors,
        rlim_t fileSizeLimit = RLIM_INFINITY, bool quiet = true)
    {
        std::vector<char*> argv = quietCommand(&arguments);
        if (!quiet)
            argv.erase(argv.end() - 2); // the --quiet before the null
        const std::string errorFile = folder.file("stderr.txt");
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int descriptor = ::open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(descriptor, STDERR_FILENO);
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit {fileSizeLimit, fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            ::execv(MORVANCLARITY_TOOL, argv.data());
            ::_exit(127);
        }
        const int status = exitStatus(pid);
        *errors = readFileBytes(errorFile);
        ::unlink(errorFile.c_str());
        return status;
    }

    std::string save(const QImage& image, const char* name)
    {
        const std::string path = folder.file(name);
        EXPECT_TRUE(image.save(QString::fromStdString(path)));
        return path;
    }
    // Runs `arguments` (the program first) on a terminal of its own, sends `signal` to the
    // program alone once it has said `cue`, and gives its exit status and all it said.
    static std::pair<int, std::string> stopOnTerminal(
        std::vector<std::string> arguments, const std::string& cue, int signal)
    {
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        int terminal = -1;
        const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, nullptr);
        if (pid < 0)
            return {-1, "forkpty failed"};
        if (pid == 0) {
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        std::string said;
        char buffer[256];
        for (ssize_t got; said.find(cue) == std::string::npos
             && (got = ::read(terminal, buffer, sizeof buffer)) > 0;)
            said.append(buffer, std::size_t(got));
        ::kill(pid, signal);
        for (ssize_t got; (got = ::read(terminal, buffer, sizeof buffer)) > 0;)
            said.append(buffer, std::size_t(got));
        ::close(terminal);
        return {exitStatus(pid), said};
    }
    // A PSF picture whose only lit pixel makes the identity kernel.
    std::string identityPsf()
    {
        QImage dot(3, 3, QImage::Format_Grayscale8);
        dot.fill(0);
        dot.setPixel(1, 1, qRgb(255, 255, 255));
        return save(dot, "dot.png");
    }

    TemporaryFolder folder;
    ScopedEnvironment configHome;
};

TEST_F(BatchTool, IdentityKernelKeepsAColourPictureAndItsAlpha)
{
    QImage input(80, 60, QImage::Format_ARGB32);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x)
            input.setPixel(x, y, qRgba(50 + x, 40 + 2 * y, 120, (x * 3 + y) % 256));
    const std::string in = save(input, "in.png");
    const std::string out = folder.file("out.png");
    ASSERT_EQ(run({"deblur", in, out, "--psf", identityPsf()}), 0);
    const QImage output(QString::fromStdString(out));
    ASSERT_EQ(output.size(), input.size());
    ASSERT_TRUE(output.hasAlphaChannel());
    const QImage straight = output.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 80; ++x) {
            const QRgb a = input.pixel(x, y);
            const QRgb b = straight.pixel(x, y);
            ASSERT_EQ(qAlpha(b), qAlpha(a)) << x << "," << y;
            ASSERT_NEAR(qRed(b), qRed(a), 2);
            ASSERT_NEAR(qGreen(b), qGreen(a), 2);
            ASSERT_NEAR(qBlue(b), qBlue(a), 2);
        }
    }
}

// A scene blurred by the default spot comes back sharper, at 8 and at 16 bits.
TEST_F(BatchTool, DeblursEightAndSixteenBitFiles)
{
    OwnedImage scene(160, 120, 1, 8);
    OwnedImage blurred(160, 120, 1, 8);
    drawTestScene(scene.get());
    DeblurParams params;
    ASSERT_FALSE(buildDefocusKernel(&params, defocusSpread(DefaultDetail)));
    blurScene(blurred.get(), scene.get(), params.kernel.get(), 24, 1);

    QImage narrow(160, 120, QImage::Format_Grayscale8);
    QImage wide(160, 120, QImage::Format_Grayscale16);
    for (int y = 0; y < 120; ++y) {
        for (int x = 0; x < 160; ++x) {
            narrow.scanLine(y)[x] = blurred->data[y * 160 + x];
            reinterpret_cast<std::uint16_t*>(wide.scanLine(y))[x]
                = std::uint16_t(blurred->data[y * 160 + x] * 257);
        }
    }
    struct {
        const char* in;
        const char* out;
        const QImage& image;
    } const cases[]
        = {{"blurred8.png", "sharp8.png", narrow}, {"blurred16.tif", "sharp16.tif", wide}};
    for (const auto& c : cases) {
        const std::string out = folder.file(c.out);
        ASSERT_EQ(run({"deblur", save(c.image, c.in), out}), 0) << c.in;
        const QImage result(QString::fromStdString(out));
        ASSERT_EQ(result.format(), c.image.format()) << c.out;
        OwnedImage sharp(160, 120, 1, 8);
        for (int y = 0; y < 120; ++y) {
            for (int x = 0; x < 160; ++x) {
                sharp->data[y * 160 + x] = c.image.format() == QImage::Format_Grayscale8
                    ? result.constScanLine(y)[x]
                    : std::uint8_t(
                        (reinterpret_cast<const std::uint16_t*>(result.constScanLine(y))[x] + 128)
                        / 257);
            }
        }
        const double before = psnr(scene.get(), blurred.get(), 20);
        const double after = psnr(scene.get(), sharp.get(), 20);
        EXPECT_GT(after - before, 3.0) << c.in << ": " << before << " dB -> " << after << " dB";
    }
}

TEST_F(BatchTool, BadInputsFailWithTheirStatusAndWriteNothing)
{
    QImage photo(64, 64, QImage::Format_RGB32);
    photo.fill(qRgb(100, 120, 140));
    const std::string in = save(photo, "in.png");
    QImage black(4, 4, QImage::Format_Grayscale8);
    black.fill(0);
    const std::string blackPsf = save(black, "black.png");
    const std::string refusedPsf = save(QImage(8, 8, QImage::Format_Mono), "mono.png");
    QImage large(600, 4, QImage::Format_Grayscale8);
    large.fill(255);
    const std::string largePsf = save(large, "large.png");
    const std::string tiny = save(QImage(20, 20, QImage::Format_RGB32), "tiny.png");
    const std::string out = folder.file("out.png");

    struct {
        std::vector<std::string> arguments;
        int status;
    } const cases[] = {
        {{"deblur", folder.file("missing.png"), out}, 3},
        {{"deblur", blackPsf + ".nothing", out}, 3},
        {{"deblur", tiny, out}, 3},
        {{"deblur", in, out, "--psf", blackPsf}, 4},
        {{"deblur", in, out, "--psf", refusedPsf}, 4},
        {{"deblur", in, out, "--psf", largePsf}, 4},
        {{"deblur", in, out, "--mode", "motion", "--points", "5,5"}, 2},
        {{"deblur", in, out, "--detail", "99"}, 2},
        {{"deblur", in, folder.file("no-folder/out.png")}, 5},
        {{"deblur", in, folder.file("out.gif")}, 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.arguments), c.status) << c.arguments[1];
        EXPECT_FALSE(fileExists(out));
    }
    EXPECT_EQ(run({"kernel", folder.file("spot.png"), "--detail", "20"}), 0);
    EXPECT_EQ(QImage(QString::fromStdString(folder.file("spot.png"))).width(), 128);
}

// Every depth and layout the tool reads gives, at 16 bits, the result of the same picture at
// 8 bits (values x 257) within one level: samples, channel order and alpha. The kernel is the
// identity, since the deblurring itself rounds 8-bit work differently (its padding is computed
// on whole samples).
TEST_F(BatchTool, SixteenBitPicturesOfEveryLayoutMatchTheirEightBitRun)
{
    constexpr int width = 120;
    constexpr int height = 90;
    OwnedImage scene(width, height, 1, 8);
    OwnedImage blurred(width, height, 1, 8);
    drawTestScene(scene.get());
    DeblurParams params;
    ASSERT_FALSE(buildDefocusKernel(&params, defocusSpread(DefaultDetail)));
    blurScene(blurred.get(), scene.get(), params.kernel.get(), 24, 1);
    // Level v of channel c at (x, y): three different pictures in red, green and blue.
    const auto level = [&](int x, int y, int c) {
        const int v = blurred->data[y * width + x];
        return c == 0 ? v : c == 1 ? 255 - v : 40 + v * 3 / 4;
    };
    // Opaque enough that TIFF's premultiplied colours come back to within a level.
    const auto alphaAt = [](int x, int y) { return 200 + (x * 3 + y * 5) % 56; };
    // The picture in a layout: gray ones hold the red picture in every channel, and those
    // without alpha are opaque (so that no conversion weighs or premultiplies the colours).
    const auto picture = [&](QImage::Format format) {
        const bool gray
            = format == QImage::Format_Grayscale8 || format == QImage::Format_Grayscale16;
        const bool alpha = QImage::toPixelFormat(format).alphaUsage() == QPixelFormat::UsesAlpha;
        QImage image(width, height, QImage::Format_RGBA64);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                auto* pixel = reinterpret_cast<std::uint16_t*>(image.scanLine(y)) + 4 * x;
                for (int c = 0; c < 3; ++c)
                    pixel[c] = std::uint16_t(level(x, y, gray ? 0 : c) * 257);
                pixel[3] = std::uint16_t(alpha ? alphaAt(x, y) * 257 : 65535);
            }
        }
        return image.convertToFormat(format);
    };
    const auto grayAlpha = [&](const char* name, int bits) {
        std::vector<int> samples;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                samples.push_back(level(x, y, 0) * (bits == 16 ? 257 : 1));
                samples.push_back(alphaAt(x, y) * (bits == 16 ? 257 : 1));
            }
        }
        const std::string path = folder.file(name);
        writeGrayAlphaPng(path, width, height, bits, samples);
        return path;
    };

    const auto floatTiff = [&] {
        std::vector<float> rgb;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c)
                    rgb.push_back(float(level(x, y, c)) / 255.0f);
        const std::string path = folder.file("f32.tif");
        writeFloatTiff(path, width, height, rgb);
        return path;
    };
    const std::string identity = identityPsf();
    struct {
        const char* name;
        std::string eightBit;
        std::string sixteenBit;
        const char* output; // the result's extension
    } const cases[] = {
        {"gray", save(picture(QImage::Format_Grayscale8), "g8.png"),
            save(picture(QImage::Format_Grayscale16), "g16.png"), "png"},
        {"gray+alpha", grayAlpha("ga8.png", 8), grayAlpha("ga16.png", 16), "png"},
        {"RGB", save(picture(QImage::Format_RGB888), "c8.png"),
            save(picture(QImage::Format_RGBX64), "c16.png"), "png"},
        {"RGBA", save(picture(QImage::Format_RGBA8888), "ca8.png"),
            save(picture(QImage::Format_RGBA64), "ca16.png"), "png"},
        {"RGBA TIFF", save(picture(QImage::Format_RGBA8888), "ta8.png"),
            save(picture(QImage::Format_RGBA64), "ta16.tif"), "tif"},
        {"float TIFF", save(picture(QImage::Format_RGB888), "f8.png"), floatTiff(), "tif"},
    };
    for (const auto& c : cases) {
        const std::string out8 = folder.file(std::string("out8.") + c.output);
        const std::string out16 = folder.file(std::string("out16.") + c.output);
        ASSERT_EQ(run({"deblur", c.eightBit, out8, "--psf", identity}), 0) << c.name;
        ASSERT_EQ(run({"deblur", c.sixteenBit, out16, "--psf", identity}), 0) << c.name;
        const QImage narrow
            = QImage(QString::fromStdString(out8)).convertToFormat(QImage::Format_RGBA64);
        const QImage wide = QImage(QString::fromStdString(out16));
        ASSERT_EQ(wide.size(), QSize(width, height)) << c.name;
        EXPECT_GE(wide.depth(), 16) << c.name;
        EXPECT_NE(wide.depth(), 32) << c.name;
        const QImage wideRgba = wide.convertToFormat(QImage::Format_RGBA64);
        // The 8-bit run itself comes back within two levels (its colour transform rounds to
        // whole levels); the 16-bit run must come back within one, and so within three of it.
        const QImage expected
            = QImage(QString::fromStdString(c.eightBit)).convertToFormat(QImage::Format_RGBA64);
        int worstEight = 0;
        int worstSixteen = 0;
        int worstBetween = 0;
        for (int y = 0; y < height; ++y) {
            const auto* a = reinterpret_cast<const std::uint16_t*>(narrow.constScanLine(y));
            const auto* b = reinterpret_cast<const std::uint16_t*>(wideRgba.constScanLine(y));
            const auto* e = reinterpret_cast<const std::uint16_t*>(expected.constScanLine(y));
            for (int i = 0; i < 4 * width; ++i) {
                if (i % 4 == 3 && !narrow.hasAlphaChannel())
                    continue;
                worstEight = std::max(worstEight, std::abs(a[i] - e[i]) / 257);
                worstSixteen = std::max(worstSixteen, (std::abs(b[i] - e[i]) + 128) / 257);
                worstBetween = std::max(worstBetween, std::abs(a[i] / 257 - (b[i] + 128) / 257));
            }
        }
        EXPECT_LE(worstEight, 2) << c.name;
        EXPECT_LE(worstSixteen, 1) << c.name;
        EXPECT_LE(worstBetween, 3) << c.name;
    }
}

// Gray and colour with alpha come back in their own layout and depth, PNG and TIFF, with every
// colour whose alpha is not 0: gray with alpha used to come back as colour (PNG) or as 8-bit
// colour without alpha (TIFF), and 8-bit TIFF colours went through premultiplied values (up to
// 155 levels off at alpha 2).
TEST_F(BatchTool, TransparentPicturesKeepTheirLayoutDepthAndColours)
{
    constexpr int width = 64;
    constexpr int height = 56;
    // Every alpha from 1 to 255 occurs; colours differ between channels unless gray.
    const auto picture = [&](bool gray, bool deep) {
        QImage image(width, height, QImage::Format_RGBA64);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                auto* pixel = reinterpret_cast<std::uint16_t*>(image.scanLine(y)) + 4 * x;
                const int v = (x * 7 + y * 3) % 256;
                const int levels[3] = {v, gray ? v : 255 - v, gray ? v : (v * 5 + 60) % 256};
                for (int c = 0; c < 3; ++c)
                    pixel[c] = std::uint16_t(levels[c] * 257 + (deep ? x % 200 : 0));
                pixel[3] = std::uint16_t((1 + (x + y * width) % 255) * 257);
            }
        }
        return image.convertToFormat(deep ? QImage::Format_RGBA64 : QImage::Format_RGBA8888);
    };
    const std::string identity = identityPsf();
    for (const char* format : {"png", "tiff"}) {
        for (const bool gray : {true, false}) {
            for (const bool deep : {false, true}) {
                const std::string name
                    = std::string(format) + (gray ? " gray" : " colour") + (deep ? " 16" : " 8");
                const QImage input = picture(gray, deep);
                QByteArray bytes;
                std::string reason;
                if (gray) {
                    ASSERT_FALSE(encodeGrayAlphaPicture(input, format, -1, &bytes, &reason));
                } else {
                    QBuffer buffer(&bytes);
                    buffer.open(QIODevice::WriteOnly);
                    ASSERT_TRUE(QImageWriter(&buffer, format).write(input)) << name;
                }
                const std::string in = folder.file(std::string("in.") + format);
                const std::string out = folder.file(std::string("out.") + format);
                writeFileBytes(in, bytes.toStdString());
                ASSERT_EQ(run({"deblur", in, out, "--psf", identity}), 0) << name;

                const std::string written = readFileBytes(out);
                PngHeader png {};
                const bool grayOut = std::string_view(format) == "png"
                    ? !readPngHeader(written, &png) && png.colourType == 4
                    : isGrayAlphaTiff(written);
                EXPECT_EQ(grayOut, gray) << name;
                QImage output;
                ASSERT_EQ(
                    decodePictureBytes(written, &output, &reason, false), PictureReadStatus::Read)
                    << name << ": " << reason;
                EXPECT_EQ(output.depth(), deep ? 64 : 32) << name;
                output.convertTo(QImage::Format_RGBA64);
                const QImage expected = input.convertToFormat(QImage::Format_RGBA64);
                // The colour planes round to whole levels of the picture's depth.
                const int tolerance = gray ? 0 : deep ? 257 : 2 * 257;
                int worst = 0;
                for (int y = 0; y < height; ++y) {
                    const auto* a = reinterpret_cast<const std::uint16_t*>(output.constScanLine(y));
                    const auto* e
                        = reinterpret_cast<const std::uint16_t*>(expected.constScanLine(y));
                    for (int i = 0; i < 4 * width; ++i)
                        worst
                            = std::max(worst, std::abs(a[i] - e[i]) - (i % 4 == 3 ? 0 : tolerance));
                }
                EXPECT_LE(worst, 0) << name;
            }
        }
    }
}

// The estimate command prints deblur options for the blur it finds and its confidence apart;
// deblur --detail auto says what it used; where nothing can be found, the default level (or, for
// a motion path, the unchanged picture) and a sentence saying why.
TEST_F(BatchTool, EstimatesTheBlurOrSaysWhyNot)
{
    OwnedImage scene(320, 320, 1, 8);
    drawLeavesScene(scene.get());
    DeblurParams spot;
    ASSERT_FALSE(buildDefocusKernel(&spot, defocusSpread(30)));
    OwnedImage blurred(320, 320, 1, 8);
    blurScene(blurred.get(), scene.get(), spot.kernel.get(), 24, 1);
    QImage picture(320, 320, QImage::Format_Grayscale8);
    for (int y = 0; y < 320; ++y)
        std::memcpy(picture.scanLine(y), blurred->data + y * blurred->stride, 320);
    const std::string photo = save(picture, "blurred.png");
    QImage gray(200, 200, QImage::Format_Grayscale8);
    gray.fill(90);
    const std::string flat = save(gray, "flat.png");
    const std::string out = folder.file("out.png");
    const std::string printed = folder.file("stdout.txt");

    // What the estimate command writes on standard output, and its exit status.
    const auto estimate = [&](std::vector<std::string> arguments, std::string* errors) {
        arguments.insert(arguments.begin(), "estimate");
        std::vector<std::string> all = arguments;
        all.insert(all.begin(), MORVANCLARITY_TOOL);
        std::string command;
        for (const std::string& argument : all)
            command += "'" + argument + "' ";
        command += "> '" + printed + "' 2> '" + folder.file("stderr.txt") + "'";
        const int status = std::system(command.c_str());
        *errors = readFileBytes(folder.file("stderr.txt"));
        return std::make_pair(WEXITSTATUS(status), readFileBytes(printed));
    };
    std::string errors;
    auto [status, options] = estimate({photo}, &errors);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(options.rfind("--detail ", 0), 0u) << options;
    EXPECT_NEAR(std::stoi(options.substr(9)), 30, 4);
    EXPECT_NE(errors.find("confidence"), std::string::npos) << errors;

    const struct {
        std::vector<std::string> arguments;
        const char* printed;
        const char* said;
    } fallbacks[] = {
        {{flat}, "--detail 12\n", "could not be estimated with confidence"},
        {{flat, "--mode", "motion"}, "", "no motion path is proposed"},
        {{photo, "--region", "400,0,50,50"}, "", "outside the 320 x 320 picture"},
        {{photo, "--region", "0,0,40,300"}, "--detail 12\n", "too small to estimate"},
    };
    for (const auto& fallback : fallbacks) {
        std::tie(status, options) = estimate(fallback.arguments, &errors);
        EXPECT_EQ(status, 0) << fallback.said;
        if (*fallback.printed) {
            EXPECT_EQ(options, fallback.printed) << fallback.said;
        }
        EXPECT_NE(errors.find(fallback.said), std::string::npos) << errors;
    }

    // What deblur refuses, estimate refuses alike.
    QImage tiny(1, 1, QImage::Format_Grayscale8);
    tiny.fill(90);
    std::tie(status, options) = estimate({save(tiny, "tiny.png")}, &errors);
    EXPECT_EQ(status, 3);
    EXPECT_TRUE(options.empty()) << options;
    EXPECT_NE(errors.find("at least 50 x 50 pixels"), std::string::npos) << errors;

    ASSERT_EQ(
        runCapturing({"deblur", photo, out, "--detail", "auto"}, &errors, RLIM_INFINITY, false), 0);
    EXPECT_NE(errors.find("estimated level of details"), std::string::npos) << errors;
    // A motion run whose path cannot be found writes the picture as it was, and says so.
    ASSERT_EQ(
        runCapturing({"deblur", flat, out, "--mode", "motion", "--points", "auto"}, &errors), 0);
    EXPECT_NE(errors.find("written unchanged"), std::string::npos) << errors;
    EXPECT_EQ(QImage(QString::fromStdString(out)).convertToFormat(QImage::Format_Grayscale8), gray);
    EXPECT_EQ(runCapturing({"deblur", flat, out, "--points", "auto"}, &errors), 2);
}

// A picture whose data ends early is a bad input, never a picture filled from stale memory;
// as a point-spread function it is a bad one. Nothing is written either way.
TEST_F(BatchTool, TruncatedPicturesOfEveryFormatAreRefused)
{
    QImage photo(200, 150, QImage::Format_RGB32);
    std::uint32_t state = 1;
    for (int y = 0; y < photo.height(); ++y) {
        for (int x = 0; x < photo.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            photo.setPixel(x, y, 0xFF000000u | (state >> 8));
        }
    }
    const std::string whole = save(photo, "whole.png");
    const std::string out = folder.file("out.png");
    for (const char* format : {"png", "tiff", "jpeg", "bmp"}) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(QImageWriter(&buffer, format).write(photo)) << format;
        const std::string file = bytes.toStdString();
        for (const std::size_t length : {std::size_t(60), file.size() / 3, file.size() * 9 / 10}) {
            const std::string cut = folder.file(std::string("cut.") + format);
            writeFileBytes(cut, file.substr(0, length));
            std::string errors;
            EXPECT_EQ(runCapturing({"deblur", cut, out}, &errors), 3) << format << " " << length;
            EXPECT_EQ(errors, "morvanclarity: " + cut + ": the file is truncated\n");
            EXPECT_EQ(runCapturing({"deblur", whole, out, "--psf", cut}, &errors), 4)
                << format << " " << length;
            EXPECT_FALSE(fileExists(out));
        }
    }
}

// A disk that fills up while the output is written leaves the old file as it was, and the
// tool says so with exit status 5, for every output format.
TEST_F(BatchTool, AFullDiskLeavesTheOldOutputInPlace)
{
    QImage photo(300, 200, QImage::Format_RGB888);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            photo.setPixel(x, y, qRgb(x % 256, (x * y) % 256, (7 * y) % 256));
    const std::string in = save(photo, "in.png");
    for (const char* name : {"out.tif", "out.png", "out.jpg"}) {
        const std::string out = folder.file(name);
        writeFileBytes(out, "the previous result");
        std::string errors;
        EXPECT_EQ(runCapturing({"deblur", in, out}, &errors, 4096), 5) << name;
        EXPECT_NE(errors.find("nothing was written"), std::string::npos) << errors;
        EXPECT_EQ(readFileBytes(out), "the previous result") << name;
    }
}

// File names are bytes: a Latin-1 name is neither "not found" nor rewritten as UTF-8.
TEST_F(BatchTool, NamesThatAreNotUtf8AreKeptAsTheyAre)
{
    QImage photo(64, 64, QImage::Format_RGB888);
    photo.fill(qRgb(90, 100, 110));
    const std::string in = folder.file("caf\xe9.png");
    ASSERT_TRUE(photo.save(QString::fromLocal8Bit(folder.file("cafe.png"))));
    ASSERT_EQ(::rename(folder.file("cafe.png").c_str(), in.c_str()), 0);
    const std::string out = folder.file("r\xe9sultat.png");
    EXPECT_EQ(run({"deblur", in, out}), 0);
    EXPECT_TRUE(fileExists(out));
}

// The output's folder is tried before anything else, so a wrong folder costs no job.
TEST_F(BatchTool, AnOutputThatCannotBeCreatedIsRefusedFirst)
{
    std::string errors;
    EXPECT_EQ(
        runCapturing({"deblur", folder.file("missing.png"), folder.file("none/out.png")}, &errors),
        5);
    EXPECT_NE(errors.find("does not exist"), std::string::npos) << errors;
    EXPECT_EQ(runCapturing({"deblur", folder.file("missing.png"), folder.path()}, &errors), 5);
    EXPECT_EQ(runCapturing({"deblur", folder.path(), folder.file("out.png")}, &errors), 3);
    EXPECT_NE(errors.find("folder"), std::string::npos) << errors;
}

// Ctrl-C, a termination request and a closed terminal stop the job alike: the exit status the
// shell gives the signal, a sentence, no output and no temporary file.
TEST_F(BatchTool, ASignalStopsTheJobAndWritesNothing)
{
    QImage photo(3000, 2000, QImage::Format_Grayscale8);
    for (int y = 0; y < 2000; ++y)
        for (int x = 0; x < 3000; ++x)
            photo.scanLine(y)[x] = std::uint8_t((x ^ y) & 0xFF);
    const std::string in = save(photo, "big.png");
    const struct {
        int signal;
        int status;
        const char* said;
    } cases[] = {{SIGINT, 130, "interrupted; nothing was written"},
        {SIGTERM, 143, "terminated; nothing was written"},
        {SIGHUP, 129, "hung up; nothing was written"}};
    for (const auto& c : cases) {
        const std::string out = folder.file("big-out.png");
        // On a terminal the tool draws its progress bar as soon as the job starts: the signal
        // then comes while the job runs, however fast or slow the machine.
        int terminal = -1;
        std::string program = MORVANCLARITY_TOOL;
        std::vector<std::string> arguments = {program, "deblur", in, out, "--power", "high"};
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, nullptr);
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        char first = 0;
        EXPECT_EQ(::read(terminal, &first, 1), 1) << "no progress before the tool ended";
        kill(pid, c.signal);
        std::string said;
        char buffer[256];
        for (ssize_t got; (got = ::read(terminal, buffer, sizeof buffer)) > 0;)
            said.append(buffer, std::size_t(got));
        ::close(terminal);
        EXPECT_EQ(exitStatus(pid), c.status) << c.signal;
        EXPECT_NE(said.find(c.said), std::string::npos) << said;
        EXPECT_FALSE(fileExists(out));
        for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
            EXPECT_EQ(entry.path().filename().string().rfind("big-out.png", 0), std::string::npos)
                << entry.path();
    }
}

// Several photos into one folder: a bad file in the middle is reported and skipped and the worst
// status ends the run; a folder that does not exist is refused before any work; Ctrl-C while the
// second photo runs keeps the first and leaves nothing else behind.
TEST_F(BatchTool, AFolderRunGoesPastBadFilesAndStopsCleanly)
{
    QImage photo(200, 150, QImage::Format_RGB888);
    photo.fill(Qt::darkCyan);
    const std::string good = save(photo, "a.png");
    const std::string bad = folder.file("b.png");
    writeFileBytes(bad, "not a picture");
    const std::string tiff = save(photo, "c.tif");
    const std::string bmp = save(photo, "d.bmp");
    const std::string out = folder.file("out");
    std::filesystem::create_directory(out);
    const auto names = [&out] {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(out))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        std::filesystem::remove_all(out);
        std::filesystem::create_directory(out);
        return found;
    };
    using Names = std::vector<std::string>;
    EXPECT_EQ(run({"deblur", good, bad, tiff, bmp, "--output-dir", out}), 3);
    EXPECT_EQ(names(), (Names {"a-sharp.png", "c-sharp.tif", "d-sharp.bmp"}));
    EXPECT_EQ(
        run({"deblur", good, bad, tiff, "--output-dir", out, "--suffix", "_x", "--jobs", "2"}), 3);
    EXPECT_EQ(names(), (Names {"a_x.png", "c_x.tif"}));
    std::string errors;
    EXPECT_EQ(runCapturing({"deblur", good, "--output-dir", folder.file("missing")}, &errors), 5);
    EXPECT_NE(errors.find("the output folder does not exist"), std::string::npos) << errors;

    QImage big(1600, 1200, QImage::Format_Grayscale8);
    for (int y = 0; y < 1200; ++y)
        for (int x = 0; x < 1600; ++x)
            big.scanLine(y)[x] = std::uint8_t((x ^ y) & 0xFF);
    std::vector<std::string> arguments = {MORVANCLARITY_TOOL, "deblur", save(big, "p1.png"),
        save(big, "p2.png"), save(big, "p3.png"), "--output-dir", out};
    const auto [status, said] = stopOnTerminal(arguments, "Photo 2 of 3", SIGINT);
    EXPECT_EQ(status, 130) << said;
    EXPECT_EQ(names(), (Names {"p1-sharp.png"})) << said;
}

// A termination request to a --jobs run, sent to the tool alone (kill, a shutdown), stops the
// photos running beside each other too: none is written after the run says it stopped.
TEST_F(BatchTool, ATerminatedSideBySideRunStopsItsPhotos)
{
    QImage big(2400, 1800, QImage::Format_Grayscale8);
    for (int y = 0; y < 1800; ++y)
        for (int x = 0; x < 2400; ++x)
            big.scanLine(y)[x] = std::uint8_t((x * 7 ^ y * 3) & 0xFF);
    const std::string out = folder.file("out");
    std::filesystem::create_directory(out);
    std::vector<std::string> arguments = {MORVANCLARITY_TOOL, "deblur", save(big, "p1.png"),
        save(big, "p2.png"), save(big, "p3.png"), "--output-dir", out, "--jobs", "2"};
    const auto [status, said] = stopOnTerminal(arguments, "Photo 2 of 3", SIGTERM);
    EXPECT_EQ(status, 143) << said;
    EXPECT_TRUE(std::filesystem::is_empty(out)) << said;
}

// Folder mode decides every output before any work: photos of one name from two folders get two
// names, and an output that is one of the photos (its own with --suffix "", or another's lying in
// the output folder) refuses the run with nothing written.
TEST_F(BatchTool, AFolderRunNeverMergesOrReplacesPhotos)
{
    QImage photo(200, 150, QImage::Format_RGB888);
    photo.fill(Qt::darkCyan);
    const std::string out = folder.file("out");
    std::filesystem::create_directory(out);
    std::filesystem::create_directory(folder.file("one"));
    std::filesystem::create_directory(folder.file("two"));
    const std::string first = save(photo, "one/x.png");
    const std::string second = save(photo, "two/x.png");
    std::string said;
    EXPECT_EQ(
        runCapturing({"deblur", first, second, "--output-dir", out}, &said, RLIM_INFINITY, false),
        0)
        << said;
    EXPECT_TRUE(fileExists(out + "/x-sharp.png"));
    EXPECT_TRUE(fileExists(out + "/x-sharp-2.png"));
    EXPECT_NE(said.find("written as " + out + "/x-sharp-2.png"), std::string::npos) << said;

    const std::string inOut = save(photo, "out/a.png");
    const std::string beside = save(photo, "out/a-sharp.png");
    const std::string original = readFileBytes(inOut);
    const std::vector<std::vector<std::string>> refused = {
        {"deblur", inOut, "--output-dir", out, "--suffix", ""},
        {"deblur", inOut, beside, "--output-dir", out},
    };
    for (const std::vector<std::string>& arguments : refused) {
        said.clear();
        EXPECT_EQ(runCapturing(arguments, &said), 2) << said;
        EXPECT_NE(said.find("is one of the photos to deblur"), std::string::npos) << said;
        EXPECT_EQ(readFileBytes(inOut), original);
        EXPECT_FALSE(fileExists(out + "/a-sharp-sharp.png"));
    }
}

} // namespace
