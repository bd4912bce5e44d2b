#include "platform/paths.h"

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <link.h>
#include <pwd.h>
#include <unistd.h>

namespace {

std::string parentOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

} // namespace

std::string moduleDirectory()
{
    Dl_info info {};
    link_map* module = nullptr;
    if (::dladdr1(reinterpret_cast<void*>(&moduleDirectory), &info,
            reinterpret_cast<void**>(&module), RTLD_DL_LINKMAP)
        == 0)
        return {};
    // The main program's entry has an empty name; the kernel knows its full path.
    const bool inMainProgram = !module || !module->l_name || module->l_name[0] == '\0';
    std::error_code error;
    const std::filesystem::path path = inMainProgram
        ? std::filesystem::read_symlink("/proc/self/exe", error)
        : std::filesystem::canonical(module->l_name, error);
    return error ? std::string() : parentOf(path.string());
}

std::string userConfigDirectory()
{
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && configHome[0] == '/')
        return configHome;
    const char* home = std::getenv("HOME");
    if (!home || !home[0]) {
        const passwd* entry = ::getpwuid(::getuid());
        home = entry ? entry->pw_dir : "";
    }
    return std::string(home) + "/.config";
}

bool createDirectory(const std::string& path)
{
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return !std::filesystem::is_directory(path, error);
}
