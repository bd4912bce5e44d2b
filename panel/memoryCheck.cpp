#include "panel/memoryCheck.h"

#include "engine/jobDriver.h"

#include <algorithm>

namespace {

// How many out-of-focus tile canvases (2048 x 2048) the largest motion tile's canvas holds; at
// least 1.
long long motionCanvasScale(const ImageBuffer& image)
{
    const TileGrid grid = tileGrid(image.width, image.height);
    const ImageRect read = tileReadRect(grid, 0, 0, image.width, image.height);
    const TileCanvas motion = tileCanvas(read.right - read.left, read.bottom - read.top, true);
    const TileCanvas focus
        = tileCanvas(TileEdge + 2 * TileContext, TileEdge + 2 * TileContext, false);
    return std::max(1LL,
        static_cast<long long>(motion.width) * motion.height
            / (static_cast<long long>(focus.width) * focus.height));
}

} // namespace

long long jobMemoryNeed(const ImageBuffer& image, int method, bool motionMode)
{
    // Colour images are deblurred as float planes plus their converted copies, 8 bytes a pixel;
    // other images need their channel count in bytes a pixel.
    const long long perPixel = image.channels == 3 ? 8 : image.channels;
    // The tile canvases and spectra of each method, fixed whatever the image.
    long long canvases = method == 0 ? 0x8400000LL
        : method == 1                ? 0xC400000LL
        : method == 2                ? 0x9400000LL
                                     : 0xB400000LL;
    if (motionMode)
        canvases *= motionCanvasScale(image);
    return static_cast<long long>(image.width) * image.height * perPixel + canvases
        + 5LL * image.dataSize;
}

bool jobFitsMemory(long long need, long long available, bool addressSpace32Bits)
{
    if (addressSpace32Bits && need > AddressSpaceLimit)
        return false;
    return available < 0 || need <= available;
}
