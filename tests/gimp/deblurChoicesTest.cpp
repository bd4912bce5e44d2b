#include "gimp/deblurChoices.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

DeblurChoices motion(const char* points)
{
    DeblurChoices choices = defaultChoices();
    choices.mode = 1;
    EXPECT_FALSE(storeChoiceText(choices.points, ChoicesPointsSize, points));
    return choices;
}

TEST(DeblurChoices, DefaultsAreTheBatchToolsDefaults)
{
    KernelOptions options;
    std::string message;
    ASSERT_FALSE(optionsFromChoices(defaultChoices(), 0, 0, &options, &message)) << message;
    const KernelOptions batch;
    EXPECT_EQ(options.motionMode, batch.motionMode);
    EXPECT_EQ(options.detail, batch.detail);
    EXPECT_EQ(options.method, batch.method);
    EXPECT_EQ(options.power, batch.power);
    EXPECT_EQ(options.noise, batch.noise);
    EXPECT_TRUE(options.points.empty());
    EXPECT_TRUE(options.psf.empty());
}

TEST(DeblurChoices, RefusesEveryChoiceOutOfRangeWithASentence)
{
    const struct {
        std::int32_t DeblurChoices::*field;
        std::int32_t low;
        std::int32_t high;
    } ranges[] = {{&DeblurChoices::mode, 0, 1}, {&DeblurChoices::detail, 0, 50},
        {&DeblurChoices::method, 0, 1}, {&DeblurChoices::power, 0, 2},
        {&DeblurChoices::noise, 0, 2}};
    for (const auto& range : ranges) {
        for (const std::int32_t value : {range.low - 1, range.high + 1}) {
            DeblurChoices choices = defaultChoices();
            choices.*range.field = value;
            if (range.field == &DeblurChoices::mode && value == 1)
                continue; // motion is valid but needs points; tested below
            KernelOptions options;
            std::string message;
            EXPECT_TRUE(optionsFromChoices(choices, 0, 0, &options, &message)) << value;
            EXPECT_NE(message.find(std::to_string(value)), std::string::npos) << message;
        }
        DeblurChoices choices = defaultChoices();
        choices.*range.field = range.field == &DeblurChoices::mode ? 0 : range.high;
        KernelOptions options;
        std::string message;
        EXPECT_FALSE(optionsFromChoices(choices, 0, 0, &options, &message)) << message;
    }
}

TEST(DeblurChoices, MotionPointsMustBeWellFormedEnoughAndInMotionMode)
{
    KernelOptions options;
    std::string message;
    EXPECT_TRUE(optionsFromChoices(motion("1,2"), 0, 0, &options, &message));
    EXPECT_TRUE(optionsFromChoices(motion("1,2;x,4"), 0, 0, &options, &message));
    EXPECT_TRUE(optionsFromChoices(motion(""), 0, 0, &options, &message));
    DeblurChoices focus = motion("1,2;3,4");
    focus.mode = 0;
    EXPECT_TRUE(optionsFromChoices(focus, 0, 0, &options, &message));
    // A picture stands in for the points.
    DeblurChoices withPicture = motion("");
    ASSERT_FALSE(storeChoiceText(withPicture.psf, ChoicesPathSize, "/tmp/spot.png"));
    EXPECT_FALSE(optionsFromChoices(withPicture, 0, 0, &options, &message)) << message;
    EXPECT_EQ(options.psf, "/tmp/spot.png");
}

TEST(DeblurChoices, PointsMoveToTheRegionsCorner)
{
    KernelOptions options;
    std::string message;
    ASSERT_FALSE(optionsFromChoices(motion("110,220;130.5,240"), 100, 200, &options, &message));
    ASSERT_EQ(options.points.size(), 2u);
    EXPECT_EQ(options.points[0].x, 10.0);
    EXPECT_EQ(options.points[0].y, 20.0);
    EXPECT_EQ(options.points[1].x, 30.5);
    EXPECT_EQ(options.points[1].y, 40.0);
}

TEST(DeblurChoices, TextThatDoesNotFitIsRefusedAndUnterminatedFieldsAreBounded)
{
    char field[4];
    EXPECT_FALSE(storeChoiceText(field, sizeof field, "abc"));
    EXPECT_STREQ(field, "abc");
    EXPECT_TRUE(storeChoiceText(field, sizeof field, "abcd"));
    EXPECT_STREQ(field, "");
    EXPECT_FALSE(storeChoiceText(field, sizeof field, nullptr));
    EXPECT_STREQ(field, "");
    // A stored record read back from elsewhere may lack its terminator.
    DeblurChoices choices = defaultChoices();
    std::memset(choices.psf, 'a', sizeof choices.psf);
    KernelOptions options;
    std::string message;
    ASSERT_FALSE(optionsFromChoices(choices, 0, 0, &options, &message));
    EXPECT_EQ(options.psf.size(), std::size_t(ChoicesPathSize));
}

} // namespace
