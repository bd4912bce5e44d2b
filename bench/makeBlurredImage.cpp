// Makes a test photograph blurred by the out-of-focus spot, with mild noise: from a picture
// file, or from a synthetic scene of a given size.
//
//   makeBlurredImage INPUT OUTPUT [--detail D] [--noise N]
//   makeBlurredImage --synthetic WIDTHxHEIGHT OUTPUT [--detail D] [--noise N]
//
// The blur is a convolution with edges repeated (not wrapped), computed with the engine's FFT.

#include "engine/deblurParams.h"
#include "engine/kernelPlacement.h"
#include "engine/pointSpread.h"
#include "engine/realFft.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int Pad = 64; // half the spot: the reach of the blur

int powerOfTwoAtLeast(int value)
{
    int size = 1;
    while (size < value)
        size <<= 1;
    return size;
}

QImage syntheticScene(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            // Gradients, a grid of sharp blocks and fine stripes: edges at every scale.
            const bool block = (x / 97 + y / 89) % 3 == 0;
            const bool stripes = (x / 4) % 2 == 0 && (y / 300) % 2 == 1;
            row[3 * x] = std::uint8_t(block ? 220 : 40 + (x * 120) / width);
            row[3 * x + 1] = std::uint8_t(stripes ? 200 : 60 + (y * 100) / height);
            row[3 * x + 2] = std::uint8_t(block ? 90 : (x + y) % 256 / 2 + 30);
        }
    }
    return image;
}

// Blurs one channel of an RGB888 image in place.
void blurChannel(QImage* image, int channel, const SpectrumValue* kernelSpectrum,
    const RealFft2d& fft, float* canvas, SpectrumValue* spectrum)
{
    const int width = image->width();
    const int height = image->height();
    for (int y = 0; y < fft.height; ++y) {
        const int sy = std::clamp(y - Pad, 0, height - 1);
        const std::uint8_t* row = image->constScanLine(sy);
        for (int x = 0; x < fft.width; ++x)
            canvas[std::size_t(y) * fft.width + x]
                = row[3 * std::clamp(x - Pad, 0, width - 1) + channel];
    }
    forwardFft(fft, canvas, spectrum);
    multiplySpectra(spectrum, kernelSpectrum, spectrumSize(fft));
    inverseFft(fft, spectrum, canvas);
    const float scale = 1.0f / (float(fft.width) * float(fft.height));
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = image->scanLine(y);
        for (int x = 0; x < width; ++x)
            row[3 * x + channel] = std::uint8_t(std::clamp(
                canvas[std::size_t(y + Pad) * fft.width + x + Pad] * scale + 0.5f, 0.0f, 255.0f));
    }
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    int detail = DefaultDetail;
    int noise = 2;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--detail" && i + 1 < arguments.size())
            detail = std::atoi(arguments[++i].c_str());
        else if (arguments[i] == "--noise" && i + 1 < arguments.size())
            noise = std::atoi(arguments[++i].c_str());
        else
            files.push_back(arguments[i]);
    }
    if (files.size() != 2 && !(files.size() == 3 && files[0] == "--synthetic")) {
        std::fputs(
            "usage: makeBlurredImage INPUT|--synthetic WxH OUTPUT [--detail D] [--noise N]\n",
            stderr);
        return 2;
    }
    QImage image;
    if (files[0] == "--synthetic") {
        int width = 0;
        int height = 0;
        if (std::sscanf(files[1].c_str(), "%dx%d", &width, &height) != 2 || width < 1 || height < 1)
            return 2;
        image = syntheticScene(width, height);
    } else {
        image = QImage(QString::fromStdString(files[0])).convertToFormat(QImage::Format_RGB888);
    }
    if (image.isNull()) {
        std::fputs("cannot read the input\n", stderr);
        return 1;
    }

    DeblurParams params;
    RealFft2d fft;
    const int width = powerOfTwoAtLeast(image.width() + 2 * Pad);
    const int height = powerOfTwoAtLeast(image.height() + 2 * Pad);
    const std::size_t count = std::size_t(width) * height;
    float* canvas = allocateFftFloats(count);
    SpectrumValue* spectrum = allocateSpectrum(std::size_t(height) * (width / 2 + 1));
    SpectrumValue* kernelSpectrum = allocateSpectrum(std::size_t(height) * (width / 2 + 1));
    if (!canvas || !spectrum || !kernelSpectrum || prepareRealFft(&fft, width, height)
        || buildDefocusKernel(&params, defocusSpread(detail))) {
        std::fputs("cannot prepare the blur\n", stderr);
        return 1;
    }
    std::memset(canvas, 0, count * sizeof(float));
    if (placeKernelWrapped(canvas, width, height, params.kernel.get()))
        return 1;
    forwardFft(fft, canvas, kernelSpectrum);
    for (int channel = 0; channel < 3; ++channel)
        blurChannel(&image, channel, kernelSpectrum, fft, canvas, spectrum);

    std::mt19937 random(12345);
    std::uniform_int_distribution<int> jitter(-noise, noise);
    for (int y = 0; y < image.height(); ++y) {
        std::uint8_t* row = image.scanLine(y);
        for (int i = 0; i < 3 * image.width(); ++i)
            row[i] = std::uint8_t(std::clamp(row[i] + jitter(random), 0, 255));
    }
    const bool written = image.save(QString::fromStdString(files.back()));
    freeFftMemory(canvas);
    freeFftMemory(spectrum);
    freeFftMemory(kernelSpectrum);
    return written ? 0 : 1;
}
