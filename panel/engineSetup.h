#pragma once

// The engine as the plug-in's window uses it.

#include <string>

// Measured FFT plans are kept in the settings folder, in the file the batch tool keeps them in,
// so that the window's jobs and the batch tool plan (and so round) alike; previews take what was
// measured and estimate the rest, never waiting for a measurement.
void configureEngineForWindow(const std::string& settingsFolder);
