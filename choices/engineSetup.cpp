#include "choices/engineSetup.h"

#include "engine/engineSettings.h"
#include "locale/localePaths.h"
#include "platform/paths.h"

void configureEngineFor(FftPlanning planning, const std::string& settingsFolder)
{
    EngineSettings settings;
    settings.patientFftPlanning = planning == FftPlanning::Patient;
    if (!createDirectory(settingsFolder))
        settings.wisdomFile = settingsFolder + "/fftw3f-wisdom";
    configureEngine(settings);
}

void configureEngineFor(FftPlanning planning)
{
    configureEngineFor(planning, defaultLocalePaths().settingsFolder);
}
