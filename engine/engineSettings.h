#pragma once

// The one place that sets how the engine uses the machine: its thread count and how much time it
// spends choosing FFT algorithms. Call before the first job; tests and benchmarks pin threads.

#include <string>

struct EngineSettings {
    int threads = 0; // worker threads for transforms and element-wise passes; 0 = every core
    // Measure FFT algorithms for each new canvas size (seconds, once) instead of estimating them
    // (instant, transforms up to twice as slow). Sizes measured before are taken from wisdom.
    bool patientFftPlanning = false;
    std::string wisdomFile; // where measured FFT plans are kept between runs; empty = nowhere
};

void configureEngine(const EngineSettings& settings);
const EngineSettings& engineSettings();

// Threads to use for a pass over `elements` values: 1 for small passes.
int threadsFor(long long elements);
