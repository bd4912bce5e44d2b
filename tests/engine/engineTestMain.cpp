// The engine's tests run on every core unless MORVANCLARITY_ENGINE_THREADS says otherwise:
// thread-sanitizer runs pin it to 1, since the packaged TBB is not instrumented.

#include "engine/engineSettings.h"

#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    EngineSettings settings;
    if (const char* threads = std::getenv("MORVANCLARITY_ENGINE_THREADS"))
        settings.threads = std::atoi(threads);
    configureEngine(settings);
    return RUN_ALL_TESTS();
}
