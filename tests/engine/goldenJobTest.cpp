// One whole job against a result checked in beside the test: a change anywhere in the engine's
// arithmetic (kernels, padding, iterations, colour planes, tiles) that moves a sample by more
// than one level shows here. Run with MORVANCLARITY_WRITE_GOLDEN=1 to write the file anew after
// a deliberate change, and say why in the commit.

#include "engine/engine.h"
#include "tests/support/engineTestSupport.h"
#include "tests/support/testImages.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace {

const std::string goldenFile = std::string(ENGINE_GOLDEN_FOLDER) + "/progressiveMediumRgb.ppm";

// Binary PPM: "P6 width height 255" and the samples in red, green, blue order.
void writePpm(const std::string& path, const ImageBuffer* image)
{
    std::ofstream file(path, std::ios::binary);
    file << "P6\n" << image->width << " " << image->height << "\n255\n";
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x)
            for (int c = 2; c >= 0; --c)
                file.put(char(sampleAt(image, x, y, c)));
}

bool readPpm(const std::string& path, OwnedImage* image)
{
    std::ifstream file(path, std::ios::binary);
    std::string magic;
    int width = 0;
    int height = 0;
    int maximum = 0;
    if (!(file >> magic >> width >> height >> maximum) || magic != "P6" || maximum != 255)
        return false;
    file.get();
    *image = OwnedImage(width, height, 3, 8);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 2; c >= 0; --c)
                setSample(image->get(), x, y, c, std::uint8_t(file.get()));
    return bool(file);
}

TEST(GoldenJob, ProgressiveMediumOnAColourSceneStaysWithinOneLevel)
{
    constexpr int width = 120;
    constexpr int height = 90;
    OwnedImage gray(width, height, 1, 8);
    OwnedImage blurred(width, height, 1, 8);
    drawTestScene(gray.get());
    DeblurParams params;
    ASSERT_FALSE(buildDefocusKernel(&params, defocusSpread(DefaultDetail)));
    blurScene(blurred.get(), gray.get(), params.kernel.get(), 24, 2);
    // Three different pictures in the three channels, so that the colour planes matter.
    OwnedImage source(width, height, 3, 8);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int v = sampleAt(blurred.get(), x, y, 0);
            setSample(source.get(), x, y, 0, 255 - v);
            setSample(source.get(), x, y, 1, v);
            setSample(source.get(), x, y, 2, 40 + v * 3 / 4);
        }
    }
    OwnedImage target(width, height, 3, 8);
    ASSERT_EQ(runDeblurJob(target.get(), source.get(), params, ProgressSink {}), JobDone);

    if (std::getenv("MORVANCLARITY_WRITE_GOLDEN")) {
        writePpm(goldenFile, target.get());
        GTEST_SKIP() << "wrote " << goldenFile;
    }
    OwnedImage golden;
    ASSERT_TRUE(readPpm(goldenFile, &golden)) << goldenFile;
    ASSERT_EQ(golden->width, width);
    ASSERT_EQ(golden->height, height);
    int worst = 0;
    int moved = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c) {
                const int difference
                    = std::abs(sampleAt(target.get(), x, y, c) - sampleAt(golden.get(), x, y, c));
                worst = std::max(worst, difference);
                moved += difference != 0;
            }
        }
    }
    EXPECT_LE(worst, 1) << moved << " samples moved";
}

} // namespace
