#pragma once

// Loading a filter module the way the host does: open the library, check its interface version,
// read its property list and look up the entry point the list names.

#include "module/pluginMain.h"

#include <string>

struct FilterModule {
    void* library = nullptr;
    const PluginPropertyList* propertyList = nullptr;
    PluginEntryProc entry = nullptr;
};

// Returns true when it failed, with the reason in `error`; the module is then closed.
[[nodiscard]] bool loadFilterModule(
    const std::string& path, FilterModule* module, std::string* error);
void unloadFilterModule(FilterModule* module);

// The zero-terminated entry point name of the property list's "wx86" property; empty when the
// list is malformed or has none.
std::string entryPointName(const PluginPropertyList& list);
