// Peak memory of one 1500 x 1500 tile job (a 2048 x 2048 canvas) against its budget: ten float
// arrays of the canvas plus the FFT buffers.

#include "engine/engine.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

long statusKiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::strlen(field));
    }
    return 0;
}

} // namespace

int main()
{
    constexpr int side = 1500;
    DeblurParams params;
    ImageBuffer source {};
    ImageBuffer target {};
    if (buildDefocusKernel(&params, defocusSpread(DefaultDetail))
        || allocateImage(&source, side, side, 1, 8) || allocateImage(&target, side, side, 1, 8))
        return 1;
    for (int i = 0; i < source.dataSize; ++i)
        source.data[i] = std::uint8_t(i % 251);
    fillImage(&target, 0);
    const long before = statusKiB("VmHWM:");
    const JobStatus status = runDeblurJob(&target, &source, params, ProgressSink {});
    const long peak = statusKiB("VmHWM:");
    const double canvasMiB = 2048.0 * 2048.0 * 4.0 / (1024.0 * 1024.0);
    std::printf("status %d\nbefore the job   %7.1f MiB\npeak of the job  %7.1f MiB\n"
                "budget: ten float arrays %.1f MiB plus two spectra %.1f MiB = %.1f MiB\n",
        int(status), before / 1024.0, (peak - before) / 1024.0, 10 * canvasMiB, 2 * canvasMiB,
        12 * canvasMiB);
    releaseImage(&source);
    releaseImage(&target);
    return status == JobDone ? 0 : 1;
}
