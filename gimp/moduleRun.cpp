#include "gimp/moduleRun.h"

#include "gimp/regionPixels.h"
#include "tools/filterModule.h"
#include "tools/filterResult.h"
#include "tools/hostSession.h"

#include <new>

namespace {

int16 playFilter(const FilterModule& module, HostImage* image, bool selection)
{
    HostSession session;
    session.selectionMask = selection;
    openSession(&session, module.entry, image);
    RunOptions options;
    options.withOptions = true; // the person asked for the filter's window
    int16 result = noErr;
    try {
        result = runFilter(&session, options);
    } catch (const std::bad_alloc&) {
        result = memFullErr;
    }
    closeSession(&session);
    return result;
}

} // namespace

ModuleRunStatus runModuleOnRegion(const std::string& modulePath, ImageBuffer* region, bool alpha,
    bool selection, std::string* message)
{
    HostImage image;
    if (hostImageOf(*region, &image)) {
        *message = "not enough memory for the image";
        return ModuleRunStatus::Failed;
    }
    FilterModule module;
    if (loadFilterModule(modulePath, &module, message))
        return ModuleRunStatus::Failed;
    const int16 result = playFilter(module, &image, selection);
    unloadFilterModule(&module);
    if (result != noErr) {
        *message = filterResultMessage(result);
        return result == userCanceledErr ? ModuleRunStatus::Cancelled : ModuleRunStatus::Failed;
    }
    putHostColour(region, alpha, image);
    return ModuleRunStatus::Done;
}
