#include "engine/deconvolution.h"
#include "tests/support/engineTestSupport.h"

#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

// Tiles in a row, each on a 2048 x 256 canvas: small enough to run many times.
constexpr int Width = 2400; // two tiles
constexpr int WideWidth = 3001; // three
constexpr int Height = 50;

struct Outcome {
    JobStatus status = JobNotDone;
    JobReport report;
    std::vector<std::uint8_t> bytes;
    int steps = 0;
    bool progressOffThread = false;
};

class TilesSideBySide : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(buildDefocusKernel(&params, defocusSpread(DefaultDetail)));
        params.power = LowPower;
        drawTestScene(gray.get());
        drawTestScene(wide.get());
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                for (int c = 0; c < 3; ++c)
                    setSample(colour.get(), x, y, c,
                        (sampleAt(gray.get(), x, y, 0) << 7) + 97 * c + (x * 31 + y * 17) % 113);
    }

    // The FFT plans stay those of one transform thread, so that only the sharing of the tiles
    // and the threads of the element-wise passes change between runs.
    Outcome run(const ImageBuffer* source, int threads, long long tileMemoryLimit = 0)
    {
        EngineSettings settings = guard.saved;
        settings.threads = threads;
        settings.transformThreads = 1;
        settings.tileMemoryLimit = tileMemoryLimit;
        configureEngine(settings);
        OwnedImage target(source->width, Height, source->channels, source->bitsPerChannel);
        fillImage(target.get(), 0);
        Outcome outcome;
        ProgressRecord progress;
        const std::thread::id caller = std::this_thread::get_id();
        progress.onStep = [&](int) {
            if (std::this_thread::get_id() != caller)
                outcome.progressOffThread = true;
        };
        outcome.status
            = runDeblurJob(target.get(), source, params, progress.sink(), &outcome.report);
        outcome.bytes = imageBytes(target.get());
        outcome.steps = progress.steps;
        return outcome;
    }

    EngineSettingsGuard guard;
    DeblurParams params;
    OwnedImage gray {Width, Height, 1, 8};
    OwnedImage colour {Width, Height, 3, 16};
    OwnedImage wide {WideWidth, Height, 1, 8};
};

// Whole tiles run side by side, each on one thread (2 threads) or sharing threads with its
// passes (4); the image must come out byte for byte as when they run one after another.
TEST_F(TilesSideBySide, ResultDoesNotDependOnTheThreadsOrTheTilesAtOnce)
{
    // Under the thread sanitizer the passes stay off the uninstrumented TBB: one pass thread
    // per tile.
#ifdef __SANITIZE_THREAD__
    const int threadCounts[] = {2};
#else
    const int threadCounts[] = {2, 4};
#endif
    const struct {
        const char* name;
        const ImageBuffer* source;
        int method;
    } cases[] = {
        {"gray, progressive", gray.get(), ProgressiveMethod},
        {"gray, smoothing", gray.get(), SmoothingMethod},
        {"colour, progressive", colour.get(), ProgressiveMethod},
        {"colour, smoothing", colour.get(), SmoothingMethod},
    };
    for (const auto& c : cases) {
        params.method = c.method;
        const Outcome alone = run(c.source, 1);
        ASSERT_EQ(alone.status, JobDone) << c.name;
        EXPECT_EQ(alone.report.tiles, 2);
        EXPECT_EQ(alone.report.tilesAtOnce, 1);
        const int steps = 2
            * (c.method == SmoothingMethod ? smoothingSteps(LowPower) : progressiveSteps(LowPower));
        EXPECT_EQ(alone.steps, steps) << c.name;
        for (int threads : threadCounts) {
            const Outcome together = run(c.source, threads);
            ASSERT_EQ(together.status, JobDone) << c.name << ", " << threads << " threads";
            EXPECT_EQ(together.report.tilesAtOnce, 2);
            EXPECT_EQ(together.report.tilesNotDone, 0);
            EXPECT_EQ(together.steps, steps) << c.name << ", " << threads << " threads";
            EXPECT_FALSE(together.progressOffThread) << c.name;
            EXPECT_TRUE(together.bytes == alone.bytes) << c.name << ", " << threads << " threads";
        }
    }
}

TEST_F(TilesSideBySide, ShortMemoryRunsFewerTilesAtOnceWithTheSameResult)
{
    params.method = SmoothingMethod;
    const Outcome alone = run(wide.get(), 1);
    ASSERT_EQ(alone.status, JobDone);
    const auto need
        = static_cast<long long>(tileMemoryNeed(WideWidth / 3 + 300, Height, 8, params));
    // Room for one tile and a half: the tiles run one after another on the workers.
    const Outcome limited = run(wide.get(), 3, need + need / 2);
    ASSERT_EQ(limited.status, JobDone);
    EXPECT_EQ(limited.report.tilesAtOnce, 1);
    EXPECT_EQ(limited.report.tilesNotDone, 0);
    EXPECT_EQ(limited.steps, alone.steps);
    EXPECT_TRUE(limited.bytes == alone.bytes);
    // Room for two of the three.
    const Outcome two = run(wide.get(), 3, 2 * need + need / 2);
    EXPECT_LE(two.report.tilesAtOnce, 2);
    EXPECT_TRUE(two.bytes == alone.bytes);
}

TEST_F(TilesSideBySide, AbortStopsEveryRunningTile)
{
    params.method = ProgressiveMethod;
    ProgressRecord progress;
    AbortFlag stop {0};
    params.abort = &stop;
    progress.onStep = [&stop](int steps) {
        if (steps == 10)
            requestAbort(stop);
    };
    EngineSettings settings = guard.saved;
    settings.threads = 3;
    settings.transformThreads = 1;
    configureEngine(settings);
    OwnedImage source(WideWidth, Height, 3, 8);
    OwnedImage target(WideWidth, Height, 3, 8);
    fillBytePattern(source.get(), 5);
    fillImage(target.get(), 0x5A);
    EXPECT_EQ(runDeblurJob(target.get(), source.get(), params, progress.sink()), JobAborted);
    // Each running tile stops at its next poll: a few steps more, far from the whole job.
    EXPECT_LT(progress.steps, 10 + 3 * 4);
    for (std::uint8_t byte : imageBytes(target.get()))
        ASSERT_EQ(byte, 0x5A);
}

TEST_F(TilesSideBySide, TilesThatCannotRunAreCopiedThrough)
{
    // Wider than every tile's 2048-sample canvas.
    params.kernel = OwnedImage();
    makeImpulseKernel(params.kernel.get(), 2100, 9, 1050, 4);
    params.importedKernel = true;
    const Outcome outcome = run(wide.get(), 2);
    EXPECT_EQ(outcome.status, JobDone);
    EXPECT_EQ(outcome.report.tilesNotDone, 3);
    EXPECT_TRUE(outcome.bytes == imageBytes(wide.get()));
}

} // namespace
