#pragma once

// The filter module's exported interface: the entry point the host calls once per step of a
// filter run, and the data a host reads before calling anything.
//
// Contract of PluginMain: `filterRecord` is an AboutRecord* for filterSelectorAbout and a
// FilterRecord* for every other selector; `data` is the host-kept slot for the module's own
// handle (0 until the module creates it); the outcome goes to `*result` (noErr on success).
// Nothing is thrown out of it, and selectors outside About..Finish change nothing but still
// unlock the module's handles. One filter run at a time, on the host's thread.

#include "module/hostInterface.h"

#include <cstddef>
#include <cstdint>

#define MORVANCLARITY_EXPORT __attribute__((visibility("default")))

// The module interface the host stand-in expects; it refuses modules with another value.
constexpr std::int32_t PluginInterfaceVersion = 1;

// The property list: how the host names, files and enables the filter, and which symbol is the
// entry point. Little-endian, in the host's documented resource layout.
constexpr std::size_t PluginPropertyListSize = 526;
struct PluginPropertyList {
    std::uint8_t bytes[PluginPropertyListSize];
};

extern "C" {
MORVANCLARITY_EXPORT extern const std::int32_t pluginInterfaceVersion;
MORVANCLARITY_EXPORT extern const PluginPropertyList pluginPropertyList;
MORVANCLARITY_EXPORT void PluginMain(
    int16 selector, void* filterRecord, std::intptr_t* data, int16* result);
}

using PluginEntryProc
    = void (*)(int16 selector, void* filterRecord, std::intptr_t* data, int16* result);
