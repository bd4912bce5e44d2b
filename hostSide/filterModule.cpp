#include "hostSide/filterModule.h"

#include <cstring>
#include <dlfcn.h>

namespace {

std::uint32_t readInt32(const std::uint8_t* bytes)
{
    return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16
        | std::uint32_t(bytes[3]) << 24;
}

} // namespace

std::string entryPointName(const PluginPropertyList& list)
{
    const std::uint8_t* bytes = list.bytes;
    constexpr std::size_t size = PluginPropertyListSize;
    const std::uint32_t count = readInt32(bytes + 6);
    std::size_t at = 10;
    for (std::uint32_t i = 0; i < count && at + 16 <= size; ++i) {
        const std::uint32_t key = readInt32(bytes + at + 4);
        const std::uint32_t length = readInt32(bytes + at + 12);
        at += 16;
        if (length > size - at)
            return {};
        if (key == fourCharCode("wx86")) {
            const void* end = std::memchr(bytes + at, 0, length);
            if (!end)
                return {};
            return std::string(reinterpret_cast<const char*>(bytes + at));
        }
        at += (length + 3) / 4 * 4;
    }
    return {};
}

bool loadFilterModule(const std::string& path, FilterModule* module, std::string* error)
{
    *module = FilterModule {};
    module->library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module->library) {
        const char* reason = ::dlerror();
        *error = reason ? reason : "cannot load " + path;
        return true;
    }
    const auto* version
        = static_cast<const std::int32_t*>(::dlsym(module->library, "pluginInterfaceVersion"));
    if (!version || *version != PluginInterfaceVersion) {
        *error = path + " is not a filter module of this interface version";
        unloadFilterModule(module);
        return true;
    }
    module->propertyList
        = static_cast<const PluginPropertyList*>(::dlsym(module->library, "pluginPropertyList"));
    const std::string entry = module->propertyList ? entryPointName(*module->propertyList) : "";
    if (!entry.empty())
        module->entry = reinterpret_cast<PluginEntryProc>(::dlsym(module->library, entry.c_str()));
    if (!module->entry) {
        *error = path + " names no entry point it exports";
        unloadFilterModule(module);
        return true;
    }
    return false;
}

void unloadFilterModule(FilterModule* module)
{
    if (module->library)
        ::dlclose(module->library);
    *module = FilterModule {};
}
