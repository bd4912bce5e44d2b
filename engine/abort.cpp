#include "engine/abort.h"

std::atomic<std::uint8_t> abortRequested {0};
