#include "tools/imageFile.h"
#include "tests/support/pngWriter.h"
#include "tests/support/temporaryFolder.h"

#include <QImage>
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

TEST(ImageFile, GrayAlphaPngReadsAsTwoPlanesAndWritesBackTheSameSamples)
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

        const std::string copy = folder.file("copy.png");
        ASSERT_FALSE(writeImageFile(copy, image, &error)) << error;
        HostImage back;
        ASSERT_FALSE(readImageFile(copy, &back, &error)) << error;
        EXPECT_EQ(back.planes, 4) << "written as RGBA";
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                for (int plane = 0; plane < 4; ++plane)
                    EXPECT_EQ(
                        hostSample(back, x, y, plane), hostSample(image, x, y, plane == 3 ? 1 : 0));
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
