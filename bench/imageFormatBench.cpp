// Throughput of the per-sample conversions on a 24-megapixel photograph, the largest images
// the product is expected to handle interactively.

#include "image/imageFormat.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int Width = 6000;
constexpr int Height = 4000;

void convert(benchmark::State& state, int fromBits, int fromChannels, int toBits, int toChannels)
{
    ImageBuffer image {};
    for (auto _ : state) {
        state.PauseTiming();
        if (allocateImage(&image, Width, Height, fromChannels, fromBits) != 0) {
            state.SkipWithError("out of memory");
            break;
        }
        fillImage(&image, 0x5A);
        state.ResumeTiming();
        if (changeImageFormat(&image, toBits, toChannels))
            state.SkipWithError("conversion failed");
    }
    releaseImage(&image);
    state.SetItemsProcessed(state.iterations() * std::int64_t(Width) * Height);
}

void hostToSixteen(benchmark::State& state)
{
    convert(state, 15, 3, 16, 3);
}
void sixteenToHost(benchmark::State& state)
{
    convert(state, 16, 3, 15, 3);
}
void colourToGray(benchmark::State& state)
{
    convert(state, 8, 3, 8, 1);
}
void sixteenColourToEightGray(benchmark::State& state)
{
    convert(state, 16, 3, 8, 1);
}

} // namespace

BENCHMARK(hostToSixteen)->Unit(benchmark::kMillisecond);
BENCHMARK(sixteenToHost)->Unit(benchmark::kMillisecond);
BENCHMARK(colourToGray)->Unit(benchmark::kMillisecond);
BENCHMARK(sixteenColourToEightGray)->Unit(benchmark::kMillisecond);
