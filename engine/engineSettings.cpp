#include "engine/engineSettings.h"

#include "engine/realFft.h"

#include <memory>
#include <mutex>
#include <tbb/global_control.h>
#include <tbb/info.h>

namespace {

std::mutex settingsLock;
EngineSettings current;
std::unique_ptr<tbb::global_control> threadLimit;

} // namespace

void configureEngine(const EngineSettings& settings)
{
    std::lock_guard lock(settingsLock);
    current = settings;
    threadLimit.reset();
    if (settings.threads > 0)
        threadLimit = std::make_unique<tbb::global_control>(
            tbb::global_control::max_allowed_parallelism, std::size_t(settings.threads));
    loadFftWisdom(settings.wisdomFile);
}

const EngineSettings& engineSettings()
{
    return current;
}

int threadsFor(long long elements)
{
    constexpr long long MinElementsPerThread = 1 << 18;
    const int available = current.threads > 0 ? current.threads : tbb::info::default_concurrency();
    const long long useful = std::max(1LL, elements / MinElementsPerThread);
    return int(std::min<long long>(available, useful));
}
