#include "gimp/deblurChoices.h"

#include <cstring>

namespace {

bool outside(std::int32_t value, int low, int high)
{
    return value < low || value > high;
}

} // namespace

DeblurChoices defaultChoices()
{
    DeblurChoices choices {};
    const DeblurParams defaults {};
    choices.mode = 0;
    choices.detail = defaults.detail;
    choices.method = defaults.method;
    choices.power = defaults.power;
    choices.noise = defaults.noise;
    return choices;
}

bool storeChoiceText(char* field, int size, const char* text)
{
    field[0] = '\0';
    const std::size_t length = text ? std::strlen(text) : 0;
    if (length >= std::size_t(size))
        return true;
    if (length > 0)
        std::memcpy(field, text, length + 1);
    return false;
}

bool optionsFromChoices(const DeblurChoices& choices, double originX, double originY,
    KernelOptions* options, std::string* message)
{
    *options = KernelOptions {};
    if (outside(choices.mode, 0, 1)) {
        *message = "the mode must be 0 (out of focus) or 1 (motion), not "
            + std::to_string(choices.mode);
        return true;
    }
    if (outside(choices.detail, 0, 50)) {
        *message = "the level of details must be 1 to 50 (or 0 to estimate it), not "
            + std::to_string(choices.detail);
        return true;
    }
    if (outside(choices.method, ProgressiveMethod, SmoothingMethod)) {
        *message = "the method must be 0 (progressive) or 1 (smoothing), not "
            + std::to_string(choices.method);
        return true;
    }
    if (outside(choices.power, LowPower, HighPower)) {
        *message = "the power must be 0 (low), 1 (medium) or 2 (high), not "
            + std::to_string(choices.power);
        return true;
    }
    if (outside(choices.noise, ClearNoise, NoisyNoise)) {
        *message = "the noise level must be 0 (clear), 1 (medium) or 2 (noisy), not "
            + std::to_string(choices.noise);
        return true;
    }
    options->motionMode = choices.mode == 1;
    // 0 asks for the level to be estimated from the image; until then it is the default.
    options->estimateDetail = choices.detail == 0 && !options->motionMode;
    options->detail = choices.detail == 0 ? DeblurParams {}.detail : choices.detail;
    options->method = choices.method;
    options->power = choices.power;
    options->noise = choices.noise;
    // Both fields are terminated within their size, whoever filled them.
    const std::string points(choices.points, strnlen(choices.points, ChoicesPointsSize));
    options->psf.assign(choices.psf, strnlen(choices.psf, ChoicesPathSize));
    options->estimatePoints = points == "auto";
    if (!points.empty() && !options->estimatePoints
        && parseMotionPoints(points, &options->points)) {
        *message = "the motion points must be X,Y;X,Y;... in image pixels, not \"" + points + "\"";
        return true;
    }
    switch (motionPointsFault(*options)) {
    case MotionPointsFault::None:
        break;
    case MotionPointsFault::PointsWithoutMotion:
        *message = "motion points draw a motion path: they need the motion mode (1)";
        return true;
    case MotionPointsFault::TooFewPoints:
        *message = "the motion mode needs at least two points (or a point-spread function picture)";
        return true;
    }
    for (MotionPoint& point : options->points) {
        point.x -= originX;
        point.y -= originY;
    }
    return false;
}
