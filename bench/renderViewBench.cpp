// Rendering the view of a 24-megapixel photograph into a full-HD client area, as every pan and
// zoom step does: the 8-bit copy already exists, so this is the background fill and the bilinear
// resampling. Panning feels smooth below about 10 ms per render.

#include "view/renderView.h"
#include "view/resample.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int ImageWidth = 6000;
constexpr int ImageHeight = 4000;
constexpr ImageSize Client {1920, 1080};

void renderAtZoom(benchmark::State& state, double zoom)
{
    ImageBuffer image {};
    ViewCanvas canvas {};
    ImageView view {};
    if (allocateImage(&image, ImageWidth, ImageHeight, 3, 8) != 0
        || createCanvas(&canvas, 0x232323)) {
        state.SkipWithError("out of memory");
        releaseImage(&image);
        return;
    }
    for (std::int32_t i = 0; i < image.dataSize; ++i)
        image.data[i] = std::uint8_t(i * 7 % 251);
    attachView(&view, &canvas);
    setResamplingMode(&view, BilinearResampling);
    const ViewState viewState {Client.width / 2.0, Client.height / 2.0, ImageWidth / 2.0 + 0.3,
        ImageHeight / 2.0 + 0.7, zoom};
    if (renderView(&view, viewState, {Client, 0, &image, ResultSlot, 1, nullptr}))
        state.SkipWithError("first render drew nothing");
    for (auto _ : state) {
        const bool nothingDrawn
            = renderView(&view, viewState, {Client, 1, &image, ResultSlot, 1, nullptr});
        benchmark::DoNotOptimize(nothingDrawn);
        benchmark::DoNotOptimize(canvas.canvasPixels.data);
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(Client.width) * Client.height);
    detachView(&view);
    destroyCanvas(&canvas);
    releaseImage(&image);
}

void bilinearZoom0p3(benchmark::State& state)
{
    renderAtZoom(state, 0.3);
}
void bilinearZoom1(benchmark::State& state)
{
    renderAtZoom(state, 1.0);
}
void bilinearZoom3(benchmark::State& state)
{
    renderAtZoom(state, 3.0);
}

} // namespace

BENCHMARK(bilinearZoom0p3)->Unit(benchmark::kMillisecond);
BENCHMARK(bilinearZoom1)->Unit(benchmark::kMillisecond);
BENCHMARK(bilinearZoom3)->Unit(benchmark::kMillisecond);
