#include "hostSide/moduleWindowRun.h"

#include "hostSide/filterModule.h"
#include "hostSide/filterResult.h"
#include "hostSide/hostSession.h"

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

ModuleRunStatus runModuleWindow(
    const std::string& modulePath, HostImage* image, bool selection, std::string* message)
{
    FilterModule module;
    if (loadFilterModule(modulePath, &module, message))
        return ModuleRunStatus::Failed;
    // The filter succeeds also when its window closes without a result, giving the document back
    // as it was; only a comparison tells the two apart.
    const std::vector<std::uint8_t> before = image->pixels;
    const int16 result = playFilter(module, image, selection);
    unloadFilterModule(&module);
    if (result == noErr)
        return image->pixels == before ? ModuleRunStatus::Unchanged : ModuleRunStatus::Done;
    *message = filterResultMessage(result);
    return result == userCanceledErr ? ModuleRunStatus::Cancelled : ModuleRunStatus::Failed;
}
