#include "gimp/procedureValues.h"

#include "choices/choiceText.h"

#include <cstring>

ProcedureValues defaultProcedureValues()
{
    ProcedureValues values {};
    values.mode = 0;
    values.detail = DefaultDetail;
    values.method = DefaultMethod;
    values.power = DefaultPower;
    values.noise = DefaultNoise;
    return values;
}

bool storeValueText(char* field, int size, const char* text)
{
    field[0] = '\0';
    const std::size_t length = text ? std::strlen(text) : 0;
    if (length >= std::size_t(size))
        return true;
    if (length > 0)
        std::memcpy(field, text, length + 1);
    return false;
}

bool choicesFromValues(const ProcedureValues& values, double originX, double originY,
    DeblurChoices* choices, std::string* psfPath, std::string* message)
{
    *choices = DeblurChoices {};
    if (values.mode != 0 && values.mode != 1) {
        *message
            = "the mode must be 0 (out of focus) or 1 (motion), not " + std::to_string(values.mode);
        return true;
    }
    choices->motionMode = values.mode == 1;
    // 0 asks for the level to be estimated from the image; until then it is the default.
    choices->detail = values.detail == 0 ? DefaultDetail : values.detail;
    choices->method = values.method;
    choices->power = values.power;
    choices->noise = values.noise;
    // Both fields are terminated within their size, whoever filled them.
    const std::string points(values.points, strnlen(values.points, ValuesPointsSize));
    psfPath->assign(values.psf, strnlen(values.psf, ValuesPathSize));
    const bool estimatePoints = points == "auto";
    if (!points.empty() && !estimatePoints && parseMotionPoints(points, &choices->points)) {
        *message = "the motion points must be X,Y;X,Y;... in image pixels, not \"" + points + "\"";
        return true;
    }
    const bool estimated = choices->motionMode ? estimatePoints : values.detail == 0;
    choices->kernelSource = !psfPath->empty() ? KernelSource::Picture
        : estimated                           ? KernelSource::Estimated
                                              : KernelSource::Built;
    switch (checkChoices(*choices)) {
    case DeblurFailure::None:
        break;
    case DeblurFailure::DetailOutOfRange:
        *message = "the level of details must be 1 to 50 (or 0 to estimate it), not "
            + std::to_string(values.detail);
        return true;
    case DeblurFailure::MethodOutOfRange:
        *message = "the method must be 0 (progressive) or 1 (smoothing), not "
            + std::to_string(values.method);
        return true;
    case DeblurFailure::PowerOutOfRange:
        *message = "the power must be 0 (low), 1 (medium) or 2 (high), not "
            + std::to_string(values.power);
        return true;
    case DeblurFailure::NoiseOutOfRange:
        *message = "the noise level must be 0 (clear), 1 (medium) or 2 (noisy), not "
            + std::to_string(values.noise);
        return true;
    case DeblurFailure::PointsWithoutMotion:
        *message = "motion points draw a motion path: they need the motion mode (1)";
        return true;
    default:
        *message = "the motion mode needs at least two points (or a point-spread function picture)";
        return true;
    }
    if (estimatePoints && !choices->motionMode) {
        *message = "motion points draw a motion path: they need the motion mode (1)";
        return true;
    }
    for (MotionPoint& point : choices->points) {
        point.x -= originX;
        point.y -= originY;
    }
    return false;
}
