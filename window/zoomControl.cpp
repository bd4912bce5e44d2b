#include "window/zoomControl.h"

#include <cstdint>
#include <cstdio>

std::string zoomText(double zoom)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.1f %s", zoom * 100.0, "%");
    return text;
}

double zoomOfListPosition(int index)
{
    constexpr double zooms[ZoomListCount] = {0.1, 0.25, 0.5, 1, 1.5, 2, 4, 8};
    return index >= 0 && index < ZoomListCount ? zooms[index] : 1.0;
}

std::optional<double> parseTypedZoom(std::u16string_view text)
{
    text = text.substr(0, MaxTypedZoomLength);
    std::int64_t value = 0; // at most nine digits
    int decimals = 0;
    bool beforePoint = true;
    bool invalid = false;
    for (const char16_t c : text) {
        if (c == u'\0' || c == u' ' || c == u'%')
            break;
        if (c == u'.' || c == u',') {
            beforePoint = false;
        } else if (c >= u'0' && c <= u'9') {
            value = value * 10 + (c - u'0');
            if (!beforePoint)
                ++decimals;
        } else {
            invalid = true; // the scan goes on, but the text is refused
        }
    }
    if (invalid)
        return std::nullopt;
    double percent = double(value);
    for (int i = 0; i < decimals; ++i)
        percent /= 10.0;
    if (percent <= 10.0)
        percent = 10.0;
    if (percent >= 800.0)
        percent = 800.0;
    return percent / 100.0;
}
