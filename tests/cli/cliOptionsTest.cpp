#include "cli/cliOptions.h"

#include <gtest/gtest.h>

namespace {

CliOptions parse(const std::vector<std::string>& arguments, std::string* message = nullptr)
{
    CliOptions options;
    std::string ignored;
    EXPECT_FALSE(parseCliOptions(arguments, &options, message ? message : &ignored));
    return options;
}

TEST(CliOptions, DefaultsAreThoseOfAFirstRunOfThePanel)
{
    const CliOptions options = parse({"deblur", "in.png", "out.png"});
    EXPECT_EQ(options.command, CliCommand::Deblur);
    EXPECT_EQ(options.input, "in.png");
    EXPECT_EQ(options.output, "out.png");
    EXPECT_FALSE(options.choices.motionMode);
    EXPECT_EQ(options.choices.detail, 12);
    EXPECT_EQ(options.choices.method, 0);
    EXPECT_EQ(options.choices.power, 1);
    EXPECT_EQ(options.choices.noise, 1);
    EXPECT_FALSE(options.quiet);
}

TEST(CliOptions, ReadsEveryOptionInAnyOrder)
{
    const CliOptions options = parse({"deblur", "--mode", "motion", "in.tif", "--detail", "50",
        "--method", "smoothing", "--power", "high", "--noise", "noisy", "--points",
        "10,20;-3.5,4e1;7,8", "out.jpg", "--quiet", "--psf", "spot.png"});
    EXPECT_TRUE(options.choices.motionMode);
    EXPECT_EQ(options.choices.detail, 50);
    EXPECT_EQ(options.choices.method, 1);
    EXPECT_EQ(options.choices.power, 2);
    EXPECT_EQ(options.choices.noise, 2);
    ASSERT_EQ(options.choices.points.size(), 3u);
    EXPECT_EQ(options.choices.points[1].x, -3.5);
    EXPECT_EQ(options.choices.points[1].y, 40.0);
    EXPECT_EQ(options.psf, "spot.png");
    EXPECT_TRUE(options.quiet);
    EXPECT_EQ(options.output, "out.jpg");

    EXPECT_EQ(parse({"kernel", "k.png", "--detail", "3"}).command, CliCommand::Kernel);
    EXPECT_EQ(parse({"--help"}).command, CliCommand::Help);
    EXPECT_EQ(parse({"--version"}).command, CliCommand::Version);
    EXPECT_TRUE(parse({"deblur", "a.png", "b.png", "--mode", "motion", "--psf", "p.png"})
                    .choices.motionMode);
}

TEST(CliOptions, RefusesBadCommandLinesWithAMessage)
{
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"sharpen", "a.png", "b.png"},
        {"deblur", "a.png"},
        {"deblur", "a.png", "b.png", "c.png"},
        {"kernel"},
        {"deblur", "a.png", "b.png", "--detail", "0"},
        {"deblur", "a.png", "b.png", "--detail", "51"},
        {"deblur", "a.png", "b.png", "--detail", "12.5"},
        {"deblur", "a.png", "b.png", "--detail", "0x10"},
        {"deblur", "a.png", "b.png", "--detail", "1e1"},
        {"deblur", "a.png", "b.png", "--detail", "49.9999999999999999"},
        {"deblur", "a.png", "b.png", "--detail", "+7"},
        {"deblur", "a.png", "b.png", "--detail", "x"},
        {"deblur", "a.png", "b.png", "--method", "fast"},
        {"deblur", "a.png", "b.png", "--power", "max"},
        {"deblur", "a.png", "b.png", "--noise", "loud"},
        {"deblur", "a.png", "b.png", "--mode", "shake"},
        {"deblur", "a.png", "b.png", "--detail"},
        {"deblur", "a.png", "b.png", "--colour", "red"},
        {"deblur", "a.png", "b.png", "--mode", "motion"},
        {"deblur", "a.png", "b.png", "--mode", "motion", "--points", "1,2"},
        {"deblur", "a.png", "b.png", "--mode", "motion", "--points", "1,2;3"},
        {"deblur", "a.png", "b.png", "--mode", "motion", "--points", "1,2;nan,4"},
        {"deblur", "a.png", "b.png", "--mode", "motion", "--points", "1,2;"},
        // Options that would be silently ignored: an empty picture path, a motion path while
        // deblurring out-of-focus blur.
        {"deblur", "a.png", "b.png", "--psf", ""},
        {"deblur", "a.png", "b.png", "--points", "1,2;3,4"},
    };
    for (const auto& arguments : bad) {
        CliOptions options;
        std::string message;
        EXPECT_TRUE(parseCliOptions(arguments, &options, &message))
            << (arguments.empty() ? "(nothing)" : arguments.back());
        EXPECT_FALSE(message.empty());
    }
}

} // namespace
