#include "choices/choiceText.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

bool parseFiniteNumber(const std::string& text, double* value)
{
    if (text.empty())
        return true;
    char* end = nullptr;
    errno = 0;
    *value = std::strtod(text.c_str(), &end);
    return errno != 0 || *end != '\0' || !std::isfinite(*value);
}

bool parseMotionPoints(const std::string& text, std::vector<MotionPoint>* points)
{
    points->clear();
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(';', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string pair = text.substr(start, end - start);
        const std::size_t comma = pair.find(',');
        MotionPoint point {};
        if (comma == std::string::npos || parseFiniteNumber(pair.substr(0, comma), &point.x)
            || parseFiniteNumber(pair.substr(comma + 1), &point.y))
            return true;
        points->push_back(point);
        start = end + 1;
    }
    return false;
}
