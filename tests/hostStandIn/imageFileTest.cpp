#include "hostStandIn/imageFile.h"
#include "tests/support/pngWriter.h"
#include "tests/support/temporaryFolder.h"

#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

TEST(ImageFile, SixteenBitFileAndHostRangesConvertWithinOneLevel)
{
    for (int host = 0; host <= HostWhite16; ++host)
        ASSERT_EQ(hostOfFile16(fileOfHost16(host)), host);
    for (int file = 0; file <= 65535; ++file)
        ASSERT_LE(std::abs(fileOfHost16(hostOfFile16(file)) - file), 1) << file;
    EXPECT_EQ(hostOfFile16(65535), HostWhite16);
    EXPECT_EQ(fileOfHost16(HostWhite16), 65535);
}

TEST(ImageFile, GrayAlphaPngReadsAsTwoPlanes)
{
    TemporaryFolder folder;
    for (const int bits : {8, 16}) {
        std::vector<int> samples;
        for (int i = 0; i < 3 * 2 * 2; ++i)
            samples.push_back(bits == 8 ? i * 21 : fileOfHost16(i * 2700));
        const std::string path = folder.file("grayAlpha" + std::to_string(bits) + ".png");
        writeGrayAlphaPng(path, 3, 2, bits, samples);
        HostImage image;
        std::string error;
        ASSERT_FALSE(readImageFile(path, &image, &error)) << error;
        EXPECT_EQ(image.planes, 2);
        EXPECT_EQ(image.depth, bits);
        EXPECT_EQ(hostSample(image, 2, 1, 1), bits == 8 ? 11 * 21 : 11 * 2700);
    }
}

// Gray and colour with transparency come back with their planes, depth and samples from PNG and
// TIFF, nearly transparent colours included (8-bit TIFF colours went through premultiplied
// values, so that (201, 77, 33) at alpha 1 came back as (255, 0, 0)).
TEST(ImageFile, TransparentPicturesComeBackAsTheyWereInPngAndTiff)
{
    TemporaryFolder folder;
    const int alphas[] = {1, 2, 10, 128, 255};
    const int colour[] = {201, 77, 33};
    for (const char* extension : {"png", "tif"}) {
        for (const int planes : {2, 4}) {
            for (const int depth : {8, 16}) {
                const std::string name = std::string(extension) + " " + std::to_string(planes)
                    + " planes, " + std::to_string(depth) + " bits";
                HostImage image;
                allocateHostImage(&image, 5, 1, planes, depth);
                for (int x = 0; x < 5; ++x) {
                    for (int plane = 0; plane < planes - 1; ++plane)
                        setHostSample(
                            &image, x, 0, plane, depth == 8 ? colour[plane] : colour[plane] * 128);
                    setHostSample(&image, x, 0, planes - 1,
                        depth == 8 ? alphas[x] : std::min(alphas[x] * 128, HostWhite16));
                }
                const std::string path = folder.file(std::string("copy.") + extension);
                std::string error;
                ASSERT_FALSE(writeImageFile(path, image, &error)) << error;
                HostImage back;
                ASSERT_FALSE(readImageFile(path, &back, &error)) << error;
                ASSERT_EQ(back.planes, planes) << name;
                ASSERT_EQ(back.depth, depth) << name;
                for (int x = 0; x < 5; ++x)
                    for (int plane = 0; plane < planes; ++plane)
                        EXPECT_EQ(hostSample(back, x, 0, plane), hostSample(image, x, 0, plane))
                            << name << ", pixel " << x << ", plane " << plane;
            }
        }
    }
}

TEST(ImageFile, FailedWritesLeaveTheOldFileAlone)
{
    TemporaryFolder folder;
    HostImage image;
    allocateHostImage(&image, 2, 2, 3, 8);
    const std::string path = folder.file("out.unknownformat");
    writeFileBytes(path, "old");
    std::string error;
    EXPECT_TRUE(writeImageFile(path, image, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readFileBytes(path), "old");
    EXPECT_TRUE(readImageFile(folder.file("missing.png"), &image, &error));
}

} // namespace
