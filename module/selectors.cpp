#include "module/selectors.h"

#include "module/aboutBox.h"
#include "module/descriptorRegistry.h"
#include "module/filterRects.h"
#include "module/imageExchange.h"
#include "module/pluginCall.h"
#include "module/pluginHandles.h"
#include "module/scriptParameters.h"
#include "module/startWindow.h"
#include "skin/skinColors.h"

#include <cstdint>

namespace {

OSErr currentResult(PluginCall& call)
{
    return call.result ? *call.result : noErr;
}

bool dataSlotEmpty(PluginCall& call)
{
    return !call.data || *call.data == 0;
}

} // namespace

void doAbout(PluginCall& call)
{
    showAboutBox(call.aboutRecord);
}

void doParameters(PluginCall& call)
{
    if (!call.filterRecord->parameters)
        createParameters(call);
    if (dataSlotEmpty(call))
        createData(call);
    if (currentResult(call) != noErr)
        return;
    if (const OSErr error = lockHandles(call); error != noErr) {
        setResult(call, error);
        return;
    }
    initialiseFilterData(call);
}

void doPrepare(PluginCall& call)
{
    FilterRecord* record = call.filterRecord;
    if (record->parameters && !dataSlotEmpty(call)) {
        if (const OSErr error = lockHandles(call); error != noErr)
            setResult(call, error);
    } else {
        if (!record->parameters)
            createParameters(call);
        if (dataSlotEmpty(call))
            createData(call);
        if (currentResult(call) == noErr) {
            if (const OSErr error = lockHandles(call); error != noErr)
                setResult(call, error);
            else
                initialiseFilterData(call);
        }
    }

    // Two buffers of every plane (and the selection mask) of the filter rectangle at most. In
    // 64 bits: four 16-bit planes of a large document overflow 32.
    record->bufferSpace = 0;
    const HostRect rect = filterRectangle(call);
    const std::int64_t area = std::int64_t(rect.bottom - rect.top) * (rect.right - rect.left);
    const int planes = record->planes + (record->maskData ? 1 : 0);
    const std::int64_t limit = 2 * planes * area;
    if (record->maxSpace > limit)
        record->maxSpace = int32(limit);
}

void doStart(PluginCall& call)
{
    if (const OSErr error = lockHandles(call); error != noErr) {
        setResult(call, error);
        return;
    }
    // Without the host's registry (or a stored entry) the parameters stay as the host gave them.
    (void)readRegistryParameters(call);
    FilterParameters* parameters = call.parameters;
    const FilterParameters kept = *parameters;

    bool showWindow = false;
    const OSErr scriptResult = readScriptParameters(call, &showWindow);
    bool windowFailed = false;
    StartImages images; // read from the host, shown, handed back: this Start's own
    if (scriptResult == noErr && showWindow) {
        selectSkinScheme(DarkScheme);
        if (const OSErr error = readSourceImage(call, &images); error != noErr) {
            // No window and nothing written: the host keeps its pixels.
            setResult(call, error);
            return;
        }
        windowFailed = runMainWindow(call, &images);
    }
    call.filterData->queryForParameters = 0;
    if (!windowFailed) {
        setResult(call, writeResultImage(call, images.source.get()));
    } else {
        *parameters = kept;
        setResult(call, userCanceledErr);
    }
}

void doContinue(PluginCall& call)
{
    const HostRect empty {0, 0, 0, 0};
    setInRect(call, empty);
    setOutRect(call, empty);
    setMaskRect(call, empty);
}

void doFinish(PluginCall& call)
{
    releaseSkin();
    if (const OSErr error = lockHandles(call); error != noErr) {
        setResult(call, error);
        return;
    }
    writeScriptParameters(call);
    // A host without the registry cannot remember the parameters; the run itself succeeded.
    (void)writeRegistryParameters(call);
}
