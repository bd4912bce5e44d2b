#pragma once

// The engine as every front end sets it up. Measured FFT plans are kept in the settings folder,
// in one file for the window and the batch runs, so that both plan (and so round) alike.

#include <string>

enum class FftPlanning {
    Patient, // every new size is measured first: the batch tool, the GIMP plug-in
    Quick, // the window: a preview never waits for a measurement (its full job measures anyway)
};

void configureEngineFor(FftPlanning planning, const std::string& settingsFolder);
// The same with the user's own settings folder.
void configureEngineFor(FftPlanning planning);
