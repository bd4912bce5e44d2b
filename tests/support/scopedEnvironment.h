#pragma once

#include <cstdlib>
#include <optional>
#include <string>

// Sets (or, with a null value, removes) an environment variable for one scope and restores it
// afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value)
        : name(name)
    {
        if (const char* old = std::getenv(name))
            previous = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnvironment()
    {
        if (previous)
            ::setenv(name, previous->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name;
    std::optional<std::string> previous;
};
