// One 1500 x 1500 tile (a 2048 x 2048 FFT canvas) through each method and power, beside the
// bare transforms of that canvas: the floor that an iteration's four transforms set.
//
// Per-iteration cost = (tile at High - tile at Low) / (iterations High - iterations Low);
// compare it with two fftPair runs (each one forward and one inverse transform).

#include "engine/deconvolution.h"
#include "engine/engine.h"
#include "engine/tilePass.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int TileSide = 1500;
constexpr int CanvasSide = 2048;

void configure()
{
    static const bool configured = [] {
        EngineSettings settings;
        settings.patientFftPlanning = true;
        settings.wisdomFile = "/tmp/morvanclarity-bench-fftw-wisdom";
        configureEngine(settings);
        RealFft2d fft;
        return !prepareRealFft(&fft, CanvasSide, CanvasSide); // plan outside the timings
    }();
    (void)configured;
}

void tile(benchmark::State& state)
{
    configure();
    DeblurParams params;
    params.method = int(state.range(0));
    params.power = int(state.range(1));
    if (buildDefocusKernel(&params, defocusSpread(DefaultDetail))) {
        state.SkipWithError("no kernel");
        return;
    }
    ImageBuffer input {};
    ImageBuffer output {};
    if (allocateImage(&input, TileSide, TileSide, 1, 8)
        || allocateImage(&output, TileSide, TileSide, 1, 8)) {
        state.SkipWithError("out of memory");
        return;
    }
    for (int i = 0; i < input.dataSize; ++i)
        input.data[i] = std::uint8_t((i * 7 + i / TileSide * 13) % 251);
    const ProgressSink progress;
    for (auto _ : state) {
        if (deblurTile(&output, &input, params, progress) != JobDone)
            state.SkipWithError("tile not done");
    }
    const int iterations = params.method == SmoothingMethod ? smoothingIterations(params.power)
                                                            : progressiveIterations(params.power);
    state.counters["iterations"] = iterations;
    releaseImage(&input);
    releaseImage(&output);
}

void fftPair(benchmark::State& state)
{
    configure();
    RealFft2d fft;
    const std::size_t count = std::size_t(CanvasSide) * CanvasSide;
    float* canvas = allocateFftFloats(count);
    SpectrumValue* spectrum = allocateSpectrum(CanvasSide * (CanvasSide / 2 + 1));
    if (!canvas || !spectrum || prepareRealFft(&fft, CanvasSide, CanvasSide)) {
        state.SkipWithError("no transform");
        return;
    }
    for (std::size_t i = 0; i < count; ++i)
        canvas[i] = float(i % 255);
    for (auto _ : state) {
        forwardFft(fft, canvas, spectrum);
        inverseFft(fft, spectrum, canvas);
        benchmark::DoNotOptimize(canvas[0]);
    }
    freeFftMemory(canvas);
    freeFftMemory(spectrum);
}

} // namespace

BENCHMARK(fftPair)->Unit(benchmark::kMillisecond);
BENCHMARK(tile)
    ->ArgNames({"method", "power"})
    ->ArgsProduct({{ProgressiveMethod, SmoothingMethod}, {LowPower, MediumPower, HighPower}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
