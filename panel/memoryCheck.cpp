#include "panel/memoryCheck.h"

#include <algorithm>

long long jobMemoryNeed(const ImageBuffer& image, int method)
{
    // Colour images are deblurred as float planes plus their converted copies, 8 bytes a pixel;
    // other images need their channel count in bytes a pixel.
    const long long perPixel = image.channels == 3 ? 8 : image.channels;
    // The tile canvases and spectra of each method, fixed whatever the image.
    const long long canvases = method == 0 ? 0x8400000LL
        : method == 1                      ? 0xC400000LL
        : method == 2                      ? 0x9400000LL
                                           : 0xB400000LL;
    return static_cast<long long>(image.width) * image.height * perPixel + canvases
        + 5LL * image.dataSize;
}

bool jobFitsMemory(long long need, long long available, bool addressSpace32Bits)
{
    if (addressSpace32Bits && need > AddressSpaceLimit)
        return false;
    return available < 0 || need <= available;
}
