#pragma once

// Reading a picture file into the host's document form and writing it back, with Qt's image
// reader and writer (PNG and TIFF, 8 and 16 bits, gray or RGB, with or without transparency).
//
// 16-bit files hold 0..65535 and the document the host's 0..32768 (see hostOfFile16). Gray with
// transparency is recognised in PNG files (their colour type) and is written back as RGBA with
// equal colour samples, since Qt has no gray-with-alpha format.

#include "hostSide/hostImage.h"

#include <string>

// Returns true when it failed, with the reason in `error`.
[[nodiscard]] bool readImageFile(const std::string& path, HostImage* image, std::string* error);

// Writes to a temporary file beside `path` and renames it into place only when everything was
// written, so a failed run never leaves a partial file. The format comes from the file name's
// suffix. Returns true when it failed.
[[nodiscard]] bool writeImageFile(
    const std::string& path, const HostImage& image, std::string* error);
