// A fresh process that plans the transforms of one canvas size the way the batch tool does,
// with measured plans kept in a wisdom file, and says how its plans were made:
//
//   fftWisdomProbe WISDOM-FILE WIDTH HEIGHT  ->  "measured M wisdom W estimated E"

#include "engine/engineSettings.h"
#include "engine/realFft.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    EngineSettings settings;
    settings.threads = 1;
    settings.patientFftPlanning = true;
    settings.wisdomFile = argv[1];
    configureEngine(settings);
    RealFft2d fft;
    if (prepareRealFft(&fft, std::atoi(argv[2]), std::atoi(argv[3])))
        return 1;
    const FftPlanCounts counts = fftPlanCounts();
    std::printf("measured %d wisdom %d estimated %d\n", counts.measured, counts.fromWisdom,
        counts.estimated);
    return 0;
}
