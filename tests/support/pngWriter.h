#pragma once

// Writes PNG files of colour type 4 (gray with alpha), which Qt can read but not write.

#include <cstdint>
#include <string>
#include <vector>

// `samples` are gray, alpha pairs row by row; 8 or 16 bits each.
void writeGrayAlphaPng(
    const std::string& path, int width, int height, int bits, const std::vector<int>& samples);
