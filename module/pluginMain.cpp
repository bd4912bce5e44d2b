#include "module/pluginMain.h"

#include "module/pluginCall.h"
#include "module/pluginHandles.h"
#include "module/selectors.h"

#include <exception>

namespace {

void dispatch(PluginCall& call, int16 selector)
{
    switch (selector) {
    case filterSelectorAbout:
        doAbout(call);
        break;
    case filterSelectorParameters:
        doParameters(call);
        break;
    case filterSelectorPrepare:
        doPrepare(call);
        break;
    case filterSelectorStart:
        doStart(call);
        break;
    case filterSelectorContinue:
        doContinue(call);
        break;
    case filterSelectorFinish:
        doFinish(call);
        break;
    default:
        break;
    }
}

// Nothing may unwind into the host: Qt and the standard library may throw (bad_alloc).
void dispatchSafely(PluginCall& call, int16 selector)
{
    try {
        dispatch(call, selector);
    } catch (...) {
        setResult(call, memFullErr); // the Start's images went with the unwinding
    }
}

} // namespace

extern "C" void PluginMain(int16 selector, void* filterRecord, std::intptr_t* data, int16* result)
{
    PluginCall call {};
    call.data = data;
    call.result = result;
    if (selector == filterSelectorAbout)
        call.aboutRecord = static_cast<AboutRecord*>(filterRecord);
    else
        call.filterRecord = static_cast<FilterRecord*>(filterRecord);
    if (selector == filterSelectorAbout) {
        call.basicSuite = call.aboutRecord ? call.aboutRecord->sSPBasic : nullptr;
        dispatchSafely(call, selector);
        return;
    }
    FilterRecord* record = call.filterRecord;
    if (!record)
        return;
    call.basicSuite = record->sSPBasic;
    if (record->bigDocumentData)
        record->bigDocumentData->PluginUsing32BitCoordinates = 1;
    dispatchSafely(call, selector);
    unlockHandles(call);
}
