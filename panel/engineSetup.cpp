#include "panel/engineSetup.h"

#include "engine/engineSettings.h"
#include "platform/paths.h"

void configureEngineForWindow(const std::string& settingsFolder)
{
    EngineSettings settings;
    settings.patientFftPlanning = false;
    if (!createDirectory(settingsFolder))
        settings.wisdomFile = settingsFolder + "/fftw3f-wisdom";
    configureEngine(settings);
}
