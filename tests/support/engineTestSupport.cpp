#include "tests/support/engineTestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>

void makeImpulseKernel(ImageBuffer* kernel, int width, int height, int x, int y)
{
    ASSERT_EQ(allocateImage(kernel, width, height, 1, 32), 0);
    clearImage(kernel);
    reinterpret_cast<float*>(kernel->data)[y * width + x] = 1.0f;
}

void drawTestScene(ImageBuffer* image)
{
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            int value = 40 + (x * 60) / image->width; // gentle gradient
            if (x > image->width / 5 && x < image->width / 2 && y > image->height / 6
                && y < image->height / 2)
                value = 200; // a bright block
            const int dx = x - 2 * image->width / 3;
            const int dy = y - 2 * image->height / 3;
            if (dx * dx + dy * dy < (image->width / 7) * (image->width / 7))
                value = 20; // a dark disc
            if ((x / 6) % 2 == 0 && y > 5 * image->height / 6)
                value = 230; // thin bars
            image->data[y * image->stride + x] = std::uint8_t(value);
        }
    }
}

void blurScene(ImageBuffer* target, const ImageBuffer* source, const ImageBuffer* kernel,
    int radius, int noise)
{
    const auto* k = reinterpret_cast<const float*>(kernel->data);
    const int cx = kernel->width / 2;
    const int cy = kernel->height / 2;
    std::uint32_t seed = 12345;
    for (int y = 0; y < source->height; ++y) {
        for (int x = 0; x < source->width; ++x) {
            double sum = 0.0;
            for (int dy = -radius; dy <= radius; ++dy) {
                const int sy = std::clamp(y - dy, 0, source->height - 1);
                for (int dx = -radius; dx <= radius; ++dx) {
                    const int sx = std::clamp(x - dx, 0, source->width - 1);
                    sum += k[(cy + dy) * kernel->width + cx + dx]
                        * source->data[sy * source->stride + sx];
                }
            }
            seed = seed * 1664525u + 1013904223u;
            const int jitter = noise > 0 ? int(seed >> 24) % (2 * noise + 1) - noise : 0;
            target->data[y * target->stride + x]
                = std::uint8_t(std::clamp(int(sum + 0.5) + jitter, 0, 255));
        }
    }
}

double psnr(const ImageBuffer* a, const ImageBuffer* b, int border)
{
    double squares = 0.0;
    int count = 0;
    for (int y = border; y < a->height - border; ++y) {
        for (int x = border; x < a->width - border; ++x) {
            const double d = double(a->data[y * a->stride + x]) - b->data[y * b->stride + x];
            squares += d * d;
            ++count;
        }
    }
    return 10.0 * std::log10(255.0 * 255.0 / (squares / count));
}
