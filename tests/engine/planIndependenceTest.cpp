// Two machines, or one whose wisdom file is gone, measure FFT plans of their own, and the
// transforms of two plans differ in their last bits. A job's pixels must not follow those bits:
// estimated plans against plans measured in this process, on a job of two tiles.

#include "tests/support/engineTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct Spread {
    int largest = 0;
    int overOne = 0;
};

Spread spreadBetween(const ImageBuffer* a, const ImageBuffer* b)
{
    Spread spread;
    for (int y = 0; y < a->height; ++y) {
        for (int x = 0; x < a->width; ++x) {
            const int difference = std::abs(sampleAt(a, x, y, 0) - sampleAt(b, x, y, 0));
            spread.largest = std::max(spread.largest, difference);
            spread.overOne += difference > 1;
        }
    }
    return spread;
}

TEST(PlanIndependence, TheStrongestSettingsOfEachMethodGiveThePixelsOfEveryPlan)
{
    EngineSettingsGuard restore;
    // Wider than one tile; the canvas size is used by no other test, so its plans are new here.
    constexpr int width = 1550;
    constexpr int height = 160;
    OwnedImage scene(width, height, 1, 8);
    OwnedImage blurred(width, height, 1, 8);
    drawTestScene(scene.get());
    DeblurParams spot;
    ASSERT_FALSE(buildDefocusKernel(&spot, defocusSpread(DefaultDetail)));
    blurScene(blurred.get(), scene.get(), spot.kernel.get(), 24, 2);

    struct Case {
        const char* name;
        int method;
        int power;
        int noise;
    };
    const Case cases[] = {
        {"smoothing, high, noisy", SmoothingMethod, HighPower, NoisyNoise},
        {"smoothing, medium, medium", SmoothingMethod, MediumPower, MediumNoise},
        {"progressive, high", ProgressiveMethod, HighPower, ClearNoise},
    };
    // Every case with estimated plans first: a measured plan replaces the estimated one of its
    // size for the rest of the process.
    std::vector<OwnedImage> results[2];
    for (int pass = 0; pass < 2; ++pass) {
        EngineSettings settings = engineSettings();
        settings.patientFftPlanning = pass == 1;
        settings.wisdomFile.clear();
        configureEngine(settings);
        const int measuredBefore = fftPlanCounts().measured;
        for (const Case& c : cases) {
            DeblurParams params;
            params.method = c.method;
            params.power = c.power;
            params.noise = c.noise;
            ASSERT_FALSE(buildDefocusKernel(&params, defocusSpread(DefaultDetail)));
            OwnedImage& result = results[pass].emplace_back(width, height, 1, 8);
            ASSERT_EQ(runDeblurJob(result.get(), blurred.get(), params, ProgressSink {}), JobDone);
        }
        if (pass == 1) {
            ASSERT_GT(fftPlanCounts().measured, measuredBefore) << "no plan was measured";
        }
    }
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Spread spread = spreadBetween(results[0][i].get(), results[1][i].get());
        EXPECT_LE(spread.largest, 2) << cases[i].name;
        EXPECT_LE(spread.overOne, width * height / 1000) << cases[i].name;
    }
}

} // namespace
