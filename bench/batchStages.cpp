// Where the batch tool's time goes on one photograph: the same steps as `morvanclarity deblur`
// (decode, colour planes, tiles, back to colour, encode), each timed on its own, with the FFT
// plans measured before the timings as a second run on the size would find them. With
// --encodings, the PNG encoding again at each zlib level, with the file's size, to weigh a
// faster level.
//
//   batchStages INPUT [--method progressive|smoothing] [--power low|medium|high]
//               [--wisdom FILE] [--threads N] [--tiles-at-once N] [--output OUT.png]
//               [--encodings]

#include "engine/colourPlanes.h"
#include "engine/engine.h"
#include "image/imageFormat.h"
#include "pictureFiles/photoFile.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Processor time of the whole process, every thread: steadier than wall time on a busy machine.
double processorSeconds()
{
    timespec now {};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

struct Options {
    std::string input;
    std::string output;
    std::string wisdom = "/tmp/morvanclarity-bench-fftw-wisdom";
    int method = ProgressiveMethod;
    int power = MediumPower;
    int threads = 0;
    int tilesAtOnce = 0;
    bool encodings = false;
};

bool parse(int argc, char** argv, Options* options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--method" && hasValue)
            options->method
                = std::string(argv[++i]) == "smoothing" ? SmoothingMethod : ProgressiveMethod;
        else if (argument == "--power" && hasValue) {
            const std::string power = argv[++i];
            options->power = power == "low" ? LowPower : power == "high" ? HighPower : MediumPower;
        } else if (argument == "--wisdom" && hasValue)
            options->wisdom = argv[++i];
        else if (argument == "--threads" && hasValue)
            options->threads = std::atoi(argv[++i]);
        else if (argument == "--tiles-at-once" && hasValue)
            options->tilesAtOnce = std::atoi(argv[++i]);
        else if (argument == "--encodings")
            options->encodings = true;
        else if (argument == "--output" && hasValue)
            options->output = argv[++i];
        else if (options->input.empty())
            options->input = argument;
        else
            return false;
    }
    return !options->input.empty();
}

// The pixels as an 8-bit RGB picture, for the encoding comparison.
QImage rgbPicture(const ImageBuffer& pixels)
{
    QImage image(pixels.width, pixels.height, QImage::Format_RGB888);
    for (int y = 0; y < pixels.height; ++y) {
        const std::uint8_t* in = pixels.data + std::int64_t(y) * pixels.stride;
        std::uint8_t* out = image.scanLine(y);
        for (int x = 0; x < pixels.width; ++x) {
            out[3 * x] = in[3 * x + 2];
            out[3 * x + 1] = in[3 * x + 1];
            out[3 * x + 2] = in[3 * x];
        }
    }
    return image;
}

void compareEncodings(const ImageBuffer& pixels)
{
    if (pixels.channels != 3 || pixels.bitsPerChannel != 8)
        return;
    const QImage image = rgbPicture(pixels);
    std::printf("\nPNG encoding of the result (Qt's quality q: zlib level about (100 - q) / 10)\n");
    const int qualities[] = {-1, 0, 20, 40, 50, 60, 70, 80, 90, 100};
    for (int quality : qualities) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        writer.setQuality(quality);
        const auto start = std::chrono::steady_clock::now();
        const bool written = writer.write(image);
        const double seconds = secondsSince(start);
        std::printf("  quality %4d%s: %6.2f s, %6.2f MiB%s\n", quality,
            quality < 0 ? " (default)" : "", seconds, double(bytes.size()) / (1 << 20),
            written ? "" : " (failed)");
    }
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, &options)) {
        std::fputs("usage: batchStages INPUT [--method progressive|smoothing] "
                   "[--power low|medium|high] [--wisdom FILE] [--threads N] [--tiles-at-once N] "
                   "[--output OUT.png] [--encodings]\n",
            stderr);
        return 2;
    }
    quietPictureLibraries();
    EngineSettings settings;
    settings.threads = options.threads;
    settings.tilesAtOnce = options.tilesAtOnce;
    settings.patientFftPlanning = true;
    settings.wisdomFile = options.wisdom;
    configureEngine(settings);

    const auto total = std::chrono::steady_clock::now();
    auto start = total;
    Photo photo;
    std::string reason;
    if (readPhoto(options.input, &photo, &reason) != PhotoReadStatus::Read) {
        std::fprintf(stderr, "%s: %s\n", options.input.c_str(), reason.c_str());
        return 1;
    }
    const double decode = secondsSince(start);
    const ImageBuffer& source = photo.pixels.image;

    DeblurParams params;
    params.method = options.method;
    params.power = options.power;
    if (buildDefocusKernel(&params, defocusSpread(params.detail)))
        return 1;

    // Plans first, outside the timings, as the tiles of this photograph will ask for them.
    const TileGrid grid = tileGrid(source.width, source.height);
    const TileSharing sharing = tileSharing(grid.columns * grid.rows);
    {
        const TileThreads share(1, sharing.transformThreads);
        const ImageRect read = tileReadRect(grid, 0, 0, source.width, source.height);
        const TileCanvas canvas
            = tileCanvas(read.right - read.left, read.bottom - read.top, params.motionMode);
        RealFft2d fft;
        start = std::chrono::steady_clock::now();
        if (prepareRealFft(&fft, canvas.width, canvas.height))
            return 1;
    }
    const double planning = secondsSince(start);
    const FftPlanCounts plans = fftPlanCounts();

    ImageBuffer output {};
    ImageBuffer work {};
    ImageBuffer luma {};
    ImageBuffer deblurred {};
    const int bits = source.bitsPerChannel;
    if (copyImageHeader(&output, &source) != 0
        || allocateImage(&work, source.width, source.height, 3, bits) != 0
        || allocateImage(&luma, source.width, source.height, 1, bits) != 0
        || allocateImage(&deblurred, source.width, source.height, 1, bits) != 0)
        return 1;
    double toPlanes = 0.0;
    double fromPlanes = 0.0;
    int tilesAtOnce = 0;
    double tilesProcessor = 0.0;
    int tilesNotDone = 0;
    start = std::chrono::steady_clock::now();
    if (source.channels == 3) {
        (void)rgbToLumaChroma(&work, &source);
        (void)extractChannel(&luma, 0, &work);
        toPlanes = secondsSince(start);
        start = std::chrono::steady_clock::now();
        tilesProcessor = processorSeconds();
        tilesNotDone = deblurTiles(&deblurred, &luma, params, ProgressSink {}, &tilesAtOnce);
    } else {
        tilesProcessor = processorSeconds();
        tilesNotDone = deblurTiles(&output, &source, params, ProgressSink {}, &tilesAtOnce);
    }
    const double tiles = secondsSince(start);
    if (tilesNotDone > 0)
        std::fprintf(stderr, "%d tiles could not be deblurred; the timings are not meaningful\n",
            tilesNotDone);
    tilesProcessor = processorSeconds() - tilesProcessor;
    if (source.channels == 3) {
        start = std::chrono::steady_clock::now();
        (void)insertChannel(&work, 0, &deblurred);
        (void)lumaChromaToRgb(&output, &work);
        fromPlanes = secondsSince(start);
    }

    double encode = 0.0;
    if (!options.output.empty()) {
        start = std::chrono::steady_clock::now();
        if (writePhoto(options.output, output, photo.alpha.image, photo.iccProfile, &reason)
            != PhotoWriteStatus::Written) {
            std::fprintf(stderr, "%s: %s\n", options.output.c_str(), reason.c_str());
            return 1;
        }
        encode = secondsSince(start);
    }
    const double all = secondsSince(total);

    std::printf("%d x %d, %d channel(s), %d-bit; %d tiles, %d at once, %d transform thread(s)\n",
        source.width, source.height, source.channels, bits, grid.columns * grid.rows, tilesAtOnce,
        sharing.transformThreads);
    std::printf("FFT plans: %d measured (%.2f s), %d from wisdom, %d estimated\n", plans.measured,
        planning, plans.fromWisdom, plans.estimated);
    std::printf("decode %.2f s, colour planes %.2f s, tiles %.2f s (processor %.2f s), back to "
                "colour %.2f s, encode %.2f s; all %.2f s\n",
        decode, toPlanes, tiles, tilesProcessor, fromPlanes, encode, all);
    if (options.encodings)
        compareEncodings(output);

    releaseImage(&output);
    releaseImage(&work);
    releaseImage(&luma);
    releaseImage(&deblurred);
    return 0;
}
