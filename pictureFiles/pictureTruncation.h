#pragma once

// Whether a picture file ends before its own structure says it should. Some readers return
// success for such files and leave the missing rows as whatever memory held (BMP) or fill them
// with grey (JPEG), so the file's structure is checked before it is decoded.

#include <string_view>

// True when `file` is a PNG, JPEG, BMP, TIFF or GIF file cut short: a PNG without its complete
// end chunk, a JPEG whose markers stop before the end-of-image marker, a BMP shorter than its
// pixel rows, a TIFF whose directory or pixel strips lie past the end, a GIF whose blocks stop
// before its trailer. Other formats give false (the decoder refuses them by name).
bool pictureEndsEarly(std::string_view file);
