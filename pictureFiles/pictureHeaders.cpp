#include "pictureFiles/pictureHeaders.h"

#include <cstdint>

bool readPngHeader(std::string_view file, PngHeader* header)
{
    // The signature, then the IHDR chunk: length, type, width, height, bit depth, colour type.
    if (file.size() < 26 || file.substr(0, 8) != "\x89PNG\r\n\x1a\n")
        return true;
    header->bitDepth = std::uint8_t(file[24]);
    header->colourType = std::uint8_t(file[25]);
    return false;
}

int bmpBitCount(std::string_view file)
{
    if (file.size() < 30 || file.substr(0, 2) != "BM")
        return 0;
    return std::uint8_t(file[28]) | std::uint8_t(file[29]) << 8;
}
