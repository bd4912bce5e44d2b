// The panel's live preview: a 300 x 300 area of a colour photo deblurred as the preview thread
// does it, kernel building included, as the panel runs it for each power; out of focus at detail
// 12 and 50 and motion along a 40-pixel line, Progressive and Smoothing.
//
// The window plans its transforms without measuring (previews never wait for a measurement);
// pass --benchmark_filter=Wisdom to time them with plans measured beforehand, as a user has them
// once full jobs of the same sizes have run. motionOnThePowerOfTwoCanvas times the motion area on
// a job's power-of-two canvas, for comparison with the compact canvas the preview uses.

#include "choices/deblurChoices.h"
#include "engine/engine.h"
#include "image/ownedImage.h"
#include "panel/previewWorker.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int ImageWidth = 1200;
constexpr int ImageHeight = 900;
constexpr ImageRect Area {450, 300, 750, 600};
enum Kernel { Detail12, Detail50, Motion40 };

void configure(bool measuredPlans)
{
    EngineSettings settings;
    settings.patientFftPlanning = measuredPlans;
    settings.wisdomFile = measuredPlans ? "/tmp/morvanclarity-bench-fftw-wisdom" : "";
    configureEngine(settings);
}

void preview(benchmark::State& state, bool measuredPlans)
{
    configure(measuredPlans);
    OwnedImage input(ImageWidth, ImageHeight, 3, 8);
    if (!input->data) {
        state.SkipWithError("out of memory");
        return;
    }
    for (int i = 0; i < input->dataSize; ++i)
        input->data[i] = std::uint8_t((i * 7 + i / input->stride * 13) % 251);
    PreviewJob job;
    job.choices.method = int(state.range(1));
    job.choices.power = int(state.range(2));
    const auto kernel = Kernel(state.range(0));
    job.choices.motionMode = kernel == Motion40;
    job.choices.detail = kernel == Detail12 ? 12 : 50;
    if (job.choices.motionMode)
        job.choices.points = {{580, 450, 0}, {620, 450, 0}};
    auto area = std::make_shared<OwnedImage>(Area.right - Area.left, Area.bottom - Area.top, 3, 8);
    cropImage(area->get(), input.get(), Area);
    job.area = area;
    job.rect = Area;
    // The first preview of a size makes its plans; the timings are of the previews after it.
    if (deblurPreview(job).status != PreviewOutcome::Done) {
        state.SkipWithError("no preview");
        return;
    }
    for (auto _ : state) {
        const PreviewOutcome outcome = deblurPreview(job);
        if (outcome.status != PreviewOutcome::Done)
            state.SkipWithError("no preview");
        benchmark::DoNotOptimize(outcome.area);
    }
}

void estimatedPlans(benchmark::State& state)
{
    preview(state, false);
}

void measuredPlans(benchmark::State& state)
{
    preview(state, true);
}

// Kernel, method (0 Progressive, 1 Smoothing), power (0 Low to 2 High).
void previewCases(benchmark::internal::Benchmark* cases)
{
    cases->ArgNames({"kernel", "method", "power"});
    for (int kernel : {Detail12, Detail50, Motion40})
        for (int method : {0, 1})
            for (int power : {0, 1, 2})
                cases->Args({kernel, method, power});
    cases->Unit(benchmark::kMillisecond);
}

// The motion preview's area deblurred on the power-of-two canvas a job's tile of its size gets,
// for comparison with the compact canvas the preview uses (same padding, same pixels).
void jobCanvas(benchmark::State& state)
{
    configure(false);
    OwnedImage area(Area.right - Area.left, Area.bottom - Area.top, 3, 8);
    OwnedImage result(Area.right - Area.left, Area.bottom - Area.top, 3, 8);
    if (!area->data || !result->data) {
        state.SkipWithError("out of memory");
        return;
    }
    for (int i = 0; i < area->dataSize; ++i)
        area->data[i] = std::uint8_t((i * 7 + i / area->stride * 13) % 251);
    DeblurChoices choices;
    choices.method = int(state.range(0));
    choices.power = int(state.range(1));
    choices.motionMode = true;
    choices.points = {{580, 450, 0}, {620, 450, 0}};
    auto run = [&] {
        DeblurParams params;
        if (paramsFromChoices(choices, RunKind::Preview, {}, &params) != DeblurFailure::None)
            return true;
        params.compactCanvas = false; // the canvas a job's tile of this size gets
        return runDeblurJob(result.get(), area.get(), params, {}) != JobDone;
    };
    if (run()) {
        state.SkipWithError("no preview");
        return;
    }
    for (auto _ : state) {
        if (run())
            state.SkipWithError("no preview");
        benchmark::DoNotOptimize(result->data);
    }
}

BENCHMARK(estimatedPlans)->Apply(previewCases);
BENCHMARK(measuredPlans)->Name("Wisdom")->Apply(previewCases);
BENCHMARK(jobCanvas)
    ->Name("motionOnThePowerOfTwoCanvas")
    ->ArgNames({"method", "power"})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace
