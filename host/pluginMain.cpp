#include "host/pluginMain.h"

#include "host/pluginCall.h"
#include "host/pluginHandles.h"
#include "host/selectors.h"

#include <exception>

namespace {

// The very first call starts from empty image records.
bool firstCall = true;

void dispatch(int16 selector)
{
    switch (selector) {
    case filterSelectorAbout:
        doAbout();
        break;
    case filterSelectorParameters:
        doParameters();
        break;
    case filterSelectorPrepare:
        doPrepare();
        break;
    case filterSelectorStart:
        doStart();
        break;
    case filterSelectorContinue:
        doContinue();
        break;
    case filterSelectorFinish:
        doFinish();
        break;
    default:
        break;
    }
}

// Nothing may unwind into the host: Qt and the standard library may throw (bad_alloc).
void dispatchSafely(int16 selector)
{
    try {
        dispatch(selector);
    } catch (...) {
        releaseImage(&sourceImage);
        releaseImage(&maskImage);
        setResult(memFullErr);
    }
}

} // namespace

extern "C" void PluginMain(int16 selector, void* filterRecord, std::intptr_t* data, int16* result)
{
    pluginCall = PluginCall {};
    pluginCall.data = data;
    pluginCall.result = result;
    if (selector == filterSelectorAbout)
        pluginCall.aboutRecord = static_cast<AboutRecord*>(filterRecord);
    else
        pluginCall.filterRecord = static_cast<FilterRecord*>(filterRecord);
    if (firstCall) {
        resetImage(&sourceImage);
        resetImage(&maskImage);
        firstCall = false;
    }
    if (selector == filterSelectorAbout) {
        pluginCall.basicSuite = pluginCall.aboutRecord ? pluginCall.aboutRecord->sSPBasic : nullptr;
        dispatchSafely(selector);
        return;
    }
    FilterRecord* record = pluginCall.filterRecord;
    if (!record)
        return;
    pluginCall.basicSuite = record->sSPBasic;
    if (record->bigDocumentData)
        record->bigDocumentData->PluginUsing32BitCoordinates = 1;
    dispatchSafely(selector);
    unlockHandles();
}
