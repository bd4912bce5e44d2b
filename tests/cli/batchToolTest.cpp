// The batch tool as users run it: a separate process, its exit status, its files.

#include "tests/engine/engineTestSupport.h"
#include "tests/support/scopedEnvironment.h"
#include "tests/support/temporaryFolder.h"

#include <QImage>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace {

class BatchTool : public testing::Test {
protected:
    BatchTool()
        : configHome("XDG_CONFIG_HOME", folder.path().c_str())
    {
    }

    // Starts the tool with the arguments; returns its process id.
    pid_t start(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), MORVANCLARITY_TOOL);
        arguments.push_back("--quiet");
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
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

    std::string save(const QImage& image, const char* name)
    {
        const std::string path = folder.file(name);
        EXPECT_TRUE(image.save(QString::fromStdString(path)));
        return path;
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
    blurScene(blurred.get(), scene.get(), &params.kernel, 24, 1);
    releaseImage(&params.kernel);

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

TEST_F(BatchTool, InterruptStopsTheJobAndWritesNothing)
{
    QImage photo(3000, 2000, QImage::Format_Grayscale8);
    for (int y = 0; y < 2000; ++y)
        for (int x = 0; x < 3000; ++x)
            photo.scanLine(y)[x] = std::uint8_t((x ^ y) & 0xFF);
    const std::string in = save(photo, "big.png");
    const std::string out = folder.file("big-out.png");
    const pid_t pid = start({"deblur", in, out, "--power", "high"});
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    kill(pid, SIGINT);
    EXPECT_EQ(exitStatus(pid), 130);
    EXPECT_FALSE(fileExists(out));
}

} // namespace
