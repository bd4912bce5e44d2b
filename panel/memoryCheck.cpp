#include "panel/memoryCheck.h"

#include "engine/jobDriver.h"

long long jobMemoryNeed(const ImageBuffer& image, int method, bool motionMode)
{
    DeblurParams params;
    params.method = method;
    params.motionMode = motionMode;
    // The engine's own need, and the result the job's thread allocates beside it.
    return static_cast<long long>(jobMemoryNeed(
               image.width, image.height, image.channels, image.bitsPerChannel, params))
        + image.dataSize;
}

bool jobFitsMemory(long long need, long long available, bool addressSpace32Bits)
{
    if (addressSpace32Bits && need > AddressSpaceLimit)
        return false;
    return available < 0 || need <= available;
}
