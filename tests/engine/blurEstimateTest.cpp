// The blur estimates on a scene with the statistics of a photograph (overlapping discs of every
// size), blurred by known spots and shakes; and what they say of pictures with nothing to find.

#include "engine/blurEstimate.h"
#include "tests/support/engineTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr double Pi = 3.14159265358979323846;

double angleBetween(double a, double b)
{
    const double d = std::fmod(std::fabs(a - b), 180.0);
    return std::min(d, 180.0 - d);
}

TEST(BlurEstimate, FindsTheLevelOfAnOutOfFocusSpot)
{
    OwnedImage scene(320, 320, 1, 8);
    drawLeavesScene(scene.get());
    for (const int level : {10, 30}) {
        DeblurParams spot;
        ASSERT_FALSE(buildDefocusKernel(&spot, defocusSpread(level)));
        OwnedImage blurred(320, 320, 1, 8);
        blurScene(blurred.get(), scene.get(), spot.kernel.get(), 24, 1);
        const DefocusEstimate found = estimateDefocusLevel(blurred.get(), {});
        EXPECT_EQ(found.status, BlurEstimateStatus::Found) << level;
        EXPECT_NEAR(found.detail, level, 4) << level;
    }
}

TEST(BlurEstimate, FindsTheLengthAndAngleOfAStraightShake)
{
    OwnedImage scene(320, 320, 1, 8);
    drawLeavesScene(scene.get());
    struct {
        double length;
        double angle;
    } const shakes[] = {{20, 30}, {12, 120}, {30, 90}};
    for (const auto& shake : shakes) {
        OwnedImage kernel;
        makeShakeKernel(kernel.get(), shake.length, shake.angle);
        OwnedImage blurred(320, 320, 1, 8);
        blurScene(blurred.get(), scene.get(), kernel.get(), 32, 1);
        const ShakeEstimate found = estimateShake(blurred.get(), {});
        EXPECT_EQ(found.status, BlurEstimateStatus::Found) << shake.length;
        EXPECT_NEAR(found.length, shake.length, 0.15 * shake.length) << shake.angle;
        EXPECT_LE(angleBetween(found.angle, shake.angle), 6.0) << shake.length;
        // The two ends lie around the middle of the picture, the estimated length apart.
        EXPECT_NEAR((found.from.x + found.to.x) / 2, 160.0, 1e-9);
        EXPECT_NEAR(
            std::hypot(found.to.x - found.from.x, found.to.y - found.from.y), found.length, 1e-9);
    }
}

// Nothing to find, or nowhere to look: no estimate is offered, and the reason is said.
TEST(BlurEstimate, PicturesWithoutABlurToFindGiveNoEstimate)
{
    OwnedImage sharp(256, 256, 1, 8);
    drawLeavesScene(sharp.get());
    OwnedImage flat(200, 200, 3, 16);
    fillImage(flat.get(), 30000);
    OwnedImage tiny(50, 50, 1, 8);
    fillImage(tiny.get(), 7);
    EXPECT_EQ(estimateShake(sharp.get(), {}).status, BlurEstimateStatus::Unsure);
    EXPECT_EQ(estimateDefocusLevel(flat.get(), {}).status, BlurEstimateStatus::Unsure);
    EXPECT_EQ(estimateShake(flat.get(), {}).status, BlurEstimateStatus::Unsure);
    EXPECT_EQ(estimateDefocusLevel(tiny.get(), {}).status, BlurEstimateStatus::TooSmall);
    EXPECT_EQ(
        estimateShake(sharp.get(), {300, 300, 400, 400}).status, BlurEstimateStatus::RegionOutside);
    EXPECT_EQ(
        estimateDefocusLevel(sharp.get(), {0, 0, 40, 256}).status, BlurEstimateStatus::TooSmall);
    EXPECT_STRNE(blurEstimateProblem(BlurEstimateStatus::RegionOutside), "");
}

} // namespace
