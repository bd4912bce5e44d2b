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

void drawLeavesScene(ImageBuffer* image)
{
    fillImage(image, 128);
    std::uint32_t state = 12345;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return double(state >> 8) / double(1u << 24);
    };
    const int discs = image->width * image->height * 3000 / (320 * 320);
    for (int disc = 0; disc < discs; ++disc) {
        const double radius = 2.0 / std::sqrt(0.0025 + next());
        const double cx = next() * image->width;
        const double cy = next() * image->height;
        const int grey = int(next() * 220) + 18;
        for (int y = std::max(0, int(cy - radius));
             y < std::min(image->height, int(cy + radius) + 1); ++y)
            for (int x = std::max(0, int(cx - radius));
                 x < std::min(image->width, int(cx + radius) + 1); ++x)
                if (std::hypot(x - cx, y - cy) <= radius)
                    image->data[std::int64_t(y) * image->stride + x] = std::uint8_t(grey);
    }
}

void makeShakeKernel(ImageBuffer* kernel, double length, double angle)
{
    ASSERT_EQ(allocateImage(kernel, 65, 65, 1, 32), 0);
    clearImage(kernel);
    auto* samples = reinterpret_cast<float*>(kernel->data);
    const double c = std::cos(angle * 3.14159265358979323846 / 180.0);
    const double s = -std::sin(angle * 3.14159265358979323846 / 180.0);
    constexpr int steps = 400;
    for (int i = 0; i <= steps; ++i) {
        const double t = (double(i) / steps - 0.5) * length;
        const int x = int(std::lround(32 + t * c));
        const int y = int(std::lround(32 + t * s));
        samples[y * 65 + x] += 1.0f / (steps + 1);
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
