#include "locale/localePaths.h"

#include "platform/paths.h"

namespace {

constexpr const char* LanguageFileName = "Morvanclarity_loc.ini";
constexpr const char* SettingsName = "MRVCLPhotoshopPlugIn";

} // namespace

LocalePaths defaultLocalePaths()
{
    LocalePaths paths;
    paths.languageFile = moduleDirectory() + "/" + LanguageFileName;
    paths.settingsFolder = userConfigDirectory() + "/" + SettingsName;
    paths.settingsFile = paths.settingsFolder + "/" + SettingsName + ".txt";
    return paths;
}
