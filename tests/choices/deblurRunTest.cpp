#include "choices/deblurRun.h"
#include "tests/support/engineTestSupport.h"

#include <gtest/gtest.h>

namespace {

DeblurChoices motionAlong(std::vector<MotionPoint> points)
{
    DeblurChoices choices;
    choices.motionMode = true;
    choices.points = std::move(points);
    return choices;
}

TEST(CheckChoices, NamesWhatCannotBeUsed)
{
    const auto with = [](auto change) {
        DeblurChoices choices;
        change(choices);
        return checkChoices(choices);
    };
    const struct {
        DeblurFailure expected;
        DeblurFailure found;
    } cases[] = {
        {DeblurFailure::None, with([](DeblurChoices&) {})},
        {DeblurFailure::MethodOutOfRange, with([](DeblurChoices& c) { c.method = 2; })},
        {DeblurFailure::PowerOutOfRange, with([](DeblurChoices& c) { c.power = -1; })},
        {DeblurFailure::NoiseOutOfRange, with([](DeblurChoices& c) { c.noise = 3; })},
        {DeblurFailure::DetailOutOfRange, with([](DeblurChoices& c) { c.detail = 0; })},
        {DeblurFailure::DetailOutOfRange, with([](DeblurChoices& c) { c.detail = 51; })},
        {DeblurFailure::PointsWithoutMotion, with([](DeblurChoices& c) {
             c.points = {{1, 2, 0}, {3, 4, 0}};
         })},
        {DeblurFailure::TooFewPoints, with([](DeblurChoices& c) {
             c = motionAlong({{1, 2, 0}});
         })},
        // A picture or an estimate stands in for the line.
        {DeblurFailure::None, with([](DeblurChoices& c) {
             c = motionAlong({});
             c.kernelSource = KernelSource::Picture;
         })},
        {DeblurFailure::None, with([](DeblurChoices& c) {
             c = motionAlong({});
             c.kernelSource = KernelSource::Estimated;
         })},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].found, cases[i].expected) << "case " << i;
}

class ChoicesRun : public testing::Test {
protected:
    DeblurOutcome run(const DeblurChoices& choices, int size = 120, AbortToken abort = {})
    {
        source = OwnedImage(size, size, 1, 8);
        target = OwnedImage(size, size, 1, 8);
        drawTestScene(source.get());
        return deblurWithChoices(choices, source.image, target.get(), RunKind::Job, {}, abort);
    }
    OwnedImage source;
    OwnedImage target;
};

TEST_F(ChoicesRun, GivesTheEnginesPixelsForTheBuiltKernel)
{
    DeblurChoices choices;
    choices.detail = 20;
    ASSERT_EQ(run(choices).failure, DeblurFailure::None);
    DeblurParams params;
    ASSERT_EQ(paramsFromChoices(choices, RunKind::Job, {}, &params), DeblurFailure::None);
    OwnedImage direct(120, 120, 1, 8);
    ASSERT_EQ(runDeblurJob(direct.get(), source.get(), params, {}), JobDone);
    EXPECT_EQ(imageBytes(target.get()), imageBytes(direct.get()));
}

TEST_F(ChoicesRun, ReportsWhyThereIsNoResult)
{
    EXPECT_EQ(run(DeblurChoices {}, 40).failure, DeblurFailure::TooSmall);
    EXPECT_EQ(run(motionAlong({{0, 0, 0}})).failure, DeblurFailure::TooFewPoints);

    // A flat picture shows no shake: no path to deblur with.
    DeblurChoices shake = motionAlong({});
    shake.kernelSource = KernelSource::Estimated;
    source = OwnedImage(120, 120, 1, 8);
    fillImage(source.get(), 90);
    target = OwnedImage(120, 120, 1, 8);
    const DeblurOutcome flat
        = deblurWithChoices(shake, source.image, target.get(), RunKind::Job, {}, {});
    EXPECT_EQ(flat.failure, DeblurFailure::NoPathFound);
    EXPECT_TRUE(flat.estimated);

    // A kernel wider than every tile's canvas would leave the picture as it was.
    auto wide = std::make_shared<OwnedImage>();
    makeImpulseKernel(wide->get(), 600, 10, 300, 5);
    DeblurChoices picture;
    picture.kernelSource = KernelSource::Picture;
    picture.psf = wide;
    const DeblurOutcome tooLarge = run(picture);
    EXPECT_EQ(tooLarge.failure, DeblurFailure::KernelTooLarge);
    EXPECT_EQ(tooLarge.kernelWidth, 600);
    EXPECT_LT(tooLarge.canvas.width, 600);
}

TEST_F(ChoicesRun, AnAbortStopsOnlyTheRunItWasGiven)
{
    const AbortFlag stopped {1};
    const AbortFlag going {0};
    EXPECT_EQ(run(DeblurChoices {}, 120, &stopped).failure, DeblurFailure::Aborted);
    EXPECT_EQ(run(DeblurChoices {}, 120, &going).failure, DeblurFailure::None);
    // A motion kernel's builder polls the same token.
    EXPECT_EQ(run(motionAlong({{10, 10, 0}, {40, 20, 0}}), 120, &stopped).failure,
        DeblurFailure::Aborted);
}

} // namespace
