#include "engine/engineSettings.h"

#include "engine/realFft.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <tbb/global_control.h>
#include <tbb/info.h>

namespace {

std::mutex settingsLock;
EngineSettings current; // under settingsLock
std::unique_ptr<tbb::global_control> threadLimit; // under settingsLock
// Read on every pass, so kept apart from the record: 0 = every core.
std::atomic<int> configuredThreads {0};
std::atomic<int> configuredTransformThreads {0};
std::atomic<int> configuredTilesAtOnce {0};

// The share of the tile the calling thread runs; 0 = not inside a tile.
thread_local int tilePassThreads = 0;
thread_local int tileTransformThreads = 0;

constexpr long long MinElementsPerThread = 1 << 18;

int usefulThreads(int available, long long elements)
{
    const long long useful = std::max(1LL, elements / MinElementsPerThread);
    return int(std::max<long long>(1, std::min<long long>(available, useful)));
}

} // namespace

void configureEngine(const EngineSettings& settings)
{
    std::lock_guard lock(settingsLock);
    current = settings;
    configuredThreads.store(std::max(settings.threads, 0), std::memory_order_relaxed);
    configuredTransformThreads.store(
        std::max(settings.transformThreads, 0), std::memory_order_relaxed);
    configuredTilesAtOnce.store(std::max(settings.tilesAtOnce, 0), std::memory_order_relaxed);
    threadLimit.reset();
    if (settings.threads > 0)
        threadLimit = std::make_unique<tbb::global_control>(
            tbb::global_control::max_allowed_parallelism, std::size_t(settings.threads));
    loadFftWisdom(settings.wisdomFile);
}

void setPatientFftPlanning(bool patient)
{
    std::lock_guard lock(settingsLock);
    current.patientFftPlanning = patient;
}

EngineSettings engineSettings()
{
    std::lock_guard lock(settingsLock);
    return current;
}

int engineThreads()
{
    const int threads = configuredThreads.load(std::memory_order_relaxed);
    return threads > 0 ? threads : std::max(1, tbb::info::default_concurrency());
}

TileSharing tileSharing(int tiles)
{
    const int threads = engineThreads();
    const int most = configuredTilesAtOnce.load(std::memory_order_relaxed);
    const int atOnce = std::clamp(std::min(tiles, most > 0 ? most : threads), 1, threads);
    // Fixed by the tile count alone, not by how many tiles memory lets run, so that the same
    // image on the same machine always meets the same FFT plans.
    const int transform = configuredTransformThreads.load(std::memory_order_relaxed);
    return {atOnce, transform > 0 ? transform : std::max(1, threads / atOnce)};
}

TileThreads::TileThreads(int passThreads, int transformThreads)
    : outerPass(tilePassThreads)
    , outerTransform(tileTransformThreads)
{
    tilePassThreads = std::max(passThreads, 1);
    tileTransformThreads = std::max(transformThreads, 1);
}

TileThreads::~TileThreads()
{
    tilePassThreads = outerPass;
    tileTransformThreads = outerTransform;
}

int threadsFor(long long elements)
{
    const int threads = engineThreads();
    return usefulThreads(
        tilePassThreads > 0 ? std::min(tilePassThreads, threads) : threads, elements);
}

int transformThreadsFor(long long elements)
{
    int share = tileTransformThreads;
    if (share <= 0) {
        const int configured = configuredTransformThreads.load(std::memory_order_relaxed);
        share = configured > 0 ? configured : engineThreads();
    }
    return usefulThreads(share, elements);
}
