#pragma once

// The one place that decides how the engine uses the machine: its thread count, how the tiles of
// a job share those threads, and how much time it spends choosing FFT algorithms. Call
// configureEngine before the first job; tests and benchmarks pin threads.

#include <string>

struct EngineSettings {
    int threads = 0; // worker threads for tiles, transforms and element-wise passes; 0 = every core
    // Measure FFT algorithms for each new canvas size (seconds, once) instead of estimating them
    // (instant, transforms up to twice as slow). Sizes measured before are taken from wisdom.
    bool patientFftPlanning = false;
    std::string wisdomFile; // where measured FFT plans are kept between runs; empty = nowhere
    // Threads inside one transform; 0 = each tile's share of `threads`. FFTW's plan depends on
    // it, and a sample may move by one level with the plan; with it fixed, a job's result does
    // not depend on `threads` nor on how many tiles run side by side.
    int transformThreads = 0;
    // Most tiles of a job running side by side; 0 = one per thread.
    int tilesAtOnce = 0;
    // Bytes that the tiles running side by side may hold together; 0 = no limit beyond the
    // memory the system has available.
    long long tileMemoryLimit = 0;
};

void configureEngine(const EngineSettings& settings);
// Changes patientFftPlanning alone, keeping the wisdom already loaded: the window's previews plan
// quickly, its full jobs patiently.
void setPatientFftPlanning(bool patient);
// A copy of the settings, taken under the lock that configureEngine holds.
EngineSettings engineSettings();

// The threads the engine may use: EngineSettings::threads, or every core.
int engineThreads();

// How a job of `tiles` tiles shares the threads: whole tiles side by side, one per thread, use
// a few cores far better than every transform split over them.
struct TileSharing {
    int tilesAtOnce; // most tiles running side by side (memory may allow fewer)
    int transformThreads; // inside each transform of the job, the same for all its tiles
};
TileSharing tileSharing(int tiles);

// While alive, the calling thread runs one tile: its element-wise passes use at most
// `passThreads` threads and its transforms `transformThreads`.
class TileThreads {
public:
    TileThreads(int passThreads, int transformThreads);
    ~TileThreads();
    TileThreads(const TileThreads&) = delete;
    TileThreads& operator=(const TileThreads&) = delete;

private:
    int outerPass;
    int outerTransform;
};

// Threads for an element-wise pass over `elements` values on the calling thread: 1 for small
// passes, never more than the calling tile's share.
int threadsFor(long long elements);

// Threads inside a transform of a canvas of `elements` values made on the calling thread.
int transformThreadsFor(long long elements);
