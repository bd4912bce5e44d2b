#pragma once

// Stands in for the plug-in window in these tests: counts its runs, lets a test look at and
// change the Start's images while "the window" is open, and accepts or fails on request.

#include "module/imageExchange.h"

#include <functional>

struct WindowDouble {
    int runs = 0;
    bool created = true; // false: the window "could not be created"
    std::function<void(StartImages* images)> whileOpen;
};

extern WindowDouble windowDouble;
