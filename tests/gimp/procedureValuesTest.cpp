#include "gimp/procedureValues.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

ProcedureValues motion(const char* points)
{
    ProcedureValues values = defaultProcedureValues();
    values.mode = 1;
    EXPECT_FALSE(storeValueText(values.points, ValuesPointsSize, points));
    return values;
}

struct Read {
    bool failed;
    DeblurChoices choices;
    std::string psf;
    std::string message;
};

Read read(const ProcedureValues& values, double originX = 0, double originY = 0)
{
    Read result;
    result.failed = choicesFromValues(
        values, originX, originY, &result.choices, &result.psf, &result.message);
    return result;
}

TEST(ProcedureValues, DefaultsAreTheChoicesDefaults)
{
    const Read defaults = read(defaultProcedureValues());
    ASSERT_FALSE(defaults.failed) << defaults.message;
    const DeblurChoices batch;
    EXPECT_EQ(defaults.choices.motionMode, batch.motionMode);
    EXPECT_EQ(defaults.choices.detail, batch.detail);
    EXPECT_EQ(defaults.choices.method, batch.method);
    EXPECT_EQ(defaults.choices.power, batch.power);
    EXPECT_EQ(defaults.choices.noise, batch.noise);
    EXPECT_EQ(defaults.choices.kernelSource, KernelSource::Built);
    EXPECT_TRUE(defaults.choices.points.empty());
    EXPECT_TRUE(defaults.psf.empty());
}

TEST(ProcedureValues, RefusesEveryValueOutOfRangeWithASentence)
{
    const struct {
        std::int32_t ProcedureValues::*field;
        std::int32_t low;
        std::int32_t high;
    } ranges[] = {{&ProcedureValues::mode, 0, 1}, {&ProcedureValues::detail, 0, 50},
        {&ProcedureValues::method, 0, 1}, {&ProcedureValues::power, 0, 2},
        {&ProcedureValues::noise, 0, 2}};
    for (const auto& range : ranges) {
        for (const std::int32_t value : {range.low - 1, range.high + 1}) {
            ProcedureValues values = defaultProcedureValues();
            values.*range.field = value;
            if (range.field == &ProcedureValues::mode && value == 1)
                continue; // motion is valid but needs points; tested below
            const Read refused = read(values);
            EXPECT_TRUE(refused.failed) << value;
            EXPECT_NE(refused.message.find(std::to_string(value)), std::string::npos)
                << refused.message;
        }
        ProcedureValues values = defaultProcedureValues();
        values.*range.field = range.field == &ProcedureValues::mode ? 0 : range.high;
        const Read taken = read(values);
        EXPECT_FALSE(taken.failed) << taken.message;
    }
}

TEST(ProcedureValues, SayWhereTheKernelComesFrom)
{
    ProcedureValues level = defaultProcedureValues();
    level.detail = 0;
    EXPECT_EQ(read(level).choices.kernelSource, KernelSource::Estimated);
    EXPECT_EQ(read(level).choices.detail, DefaultDetail);
    EXPECT_EQ(read(motion("auto")).choices.kernelSource, KernelSource::Estimated);
    EXPECT_EQ(read(motion("1,2;3,4")).choices.kernelSource, KernelSource::Built);
    // A picture stands in for the points.
    ProcedureValues withPicture = motion("");
    ASSERT_FALSE(storeValueText(withPicture.psf, ValuesPathSize, "/tmp/spot.png"));
    const Read picture = read(withPicture);
    EXPECT_FALSE(picture.failed) << picture.message;
    EXPECT_EQ(picture.choices.kernelSource, KernelSource::Picture);
    EXPECT_EQ(picture.psf, "/tmp/spot.png");
}

TEST(ProcedureValues, MotionPointsMustBeWellFormedEnoughAndInMotionMode)
{
    EXPECT_TRUE(read(motion("1,2")).failed);
    EXPECT_TRUE(read(motion("1,2;x,4")).failed);
    EXPECT_TRUE(read(motion("")).failed);
    for (const char* points : {"1,2;3,4", "auto"}) {
        ProcedureValues focus = motion(points);
        focus.mode = 0;
        EXPECT_TRUE(read(focus).failed) << points;
    }
}

TEST(ProcedureValues, PointsMoveToTheRegionsCorner)
{
    const Read moved = read(motion("110,220;130.5,240"), 100, 200);
    ASSERT_FALSE(moved.failed) << moved.message;
    ASSERT_EQ(moved.choices.points.size(), 2u);
    EXPECT_EQ(moved.choices.points[0].x, 10.0);
    EXPECT_EQ(moved.choices.points[0].y, 20.0);
    EXPECT_EQ(moved.choices.points[1].x, 30.5);
    EXPECT_EQ(moved.choices.points[1].y, 40.0);
}

TEST(ProcedureValues, TextThatDoesNotFitIsRefusedAndUnterminatedFieldsAreBounded)
{
    char field[4];
    EXPECT_FALSE(storeValueText(field, sizeof field, "abc"));
    EXPECT_STREQ(field, "abc");
    EXPECT_TRUE(storeValueText(field, sizeof field, "abcd"));
    EXPECT_STREQ(field, "");
    EXPECT_FALSE(storeValueText(field, sizeof field, nullptr));
    EXPECT_STREQ(field, "");
    // A stored record read back from elsewhere may lack its terminator.
    ProcedureValues values = defaultProcedureValues();
    std::memset(values.psf, 'a', sizeof values.psf);
    const Read bounded = read(values);
    ASSERT_FALSE(bounded.failed);
    EXPECT_EQ(bounded.psf.size(), std::size_t(ValuesPathSize));
}

} // namespace
