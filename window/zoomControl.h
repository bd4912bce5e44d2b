#pragma once

// The zoom as the user reads and types it: the zoom box's text, its list, and the parsing of a
// typed zoom confirmed with Enter.

#include <optional>
#include <string>
#include <string_view>

// The longest typed text that is read; the rest is ignored.
constexpr std::size_t MaxTypedZoomLength = 9;
constexpr int ZoomListCount = 8;

// zoom x 100 with one decimal and a percent sign: 1.5 -> "150.0 %".
std::string zoomText(double zoom);

// The zoom of list position `index` (0.1 .. 8), 1 for any other position.
double zoomOfListPosition(int index);

// The zoom a typed text asks for: digits with "." or "," as the decimal point, ended by the end
// of the text, a blank or "%", clamped to 10 % .. 800 % (an empty text gives 10 %). Empty when
// the text holds any other character before its end, the zoom then staying as it was.
std::optional<double> parseTypedZoom(std::u16string_view text);
