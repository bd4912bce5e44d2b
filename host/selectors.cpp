#include "host/selectors.h"

#include "host/aboutBox.h"
#include "host/descriptorRegistry.h"
#include "host/filterRects.h"
#include "host/imageExchange.h"
#include "host/mainWindow.h"
#include "host/pluginCall.h"
#include "host/pluginHandles.h"
#include "host/scriptParameters.h"
#include "skin/skinColors.h"

#include <cstdint>

namespace {

OSErr currentResult()
{
    return pluginCall.result ? *pluginCall.result : noErr;
}

bool dataSlotEmpty()
{
    return !pluginCall.data || *pluginCall.data == 0;
}

} // namespace

void doAbout()
{
    showAboutBox(pluginCall.aboutRecord);
}

void doParameters()
{
    if (!pluginCall.filterRecord->parameters)
        createParameters();
    if (dataSlotEmpty())
        createData();
    if (currentResult() != noErr)
        return;
    if (const OSErr error = lockHandles(); error != noErr) {
        setResult(error);
        return;
    }
    initialiseFilterData();
}

void doPrepare()
{
    FilterRecord* record = pluginCall.filterRecord;
    if (record->parameters && !dataSlotEmpty()) {
        if (const OSErr error = lockHandles(); error != noErr)
            setResult(error);
    } else {
        if (!record->parameters)
            createParameters();
        if (dataSlotEmpty())
            createData();
        if (currentResult() == noErr) {
            if (const OSErr error = lockHandles(); error != noErr)
                setResult(error);
            else
                initialiseFilterData();
        }
    }

    // Two buffers of every plane (and the selection mask) of the filter rectangle at most. In
    // 64 bits: four 16-bit planes of a large document overflow 32.
    record->bufferSpace = 0;
    const HostRect rect = filterRectangle();
    const std::int64_t area = std::int64_t(rect.bottom - rect.top) * (rect.right - rect.left);
    const int planes = record->planes + (record->maskData ? 1 : 0);
    const std::int64_t limit = 2 * planes * area;
    if (record->maxSpace > limit)
        record->maxSpace = int32(limit);
}

void doStart()
{
    if (const OSErr error = lockHandles(); error != noErr) {
        setResult(error);
        return;
    }
    // Without the host's registry (or a stored entry) the parameters stay as the host gave them.
    (void)readRegistryParameters();
    FilterParameters* parameters = pluginCall.parameters;
    const FilterParameters kept = *parameters;

    bool showWindow = false;
    const OSErr scriptResult = readScriptParameters(&showWindow);
    bool windowFailed = false;
    if (scriptResult == noErr && showWindow) {
        selectSkinScheme(DarkScheme);
        if (const OSErr error = readSourceImage(); error != noErr) {
            // No window and nothing written: the host keeps its pixels.
            setResult(error);
            return;
        }
        windowFailed = runMainWindow();
    }
    pluginCall.filterData->queryForParameters = 0;
    if (!windowFailed) {
        setResult(writeResultImage());
    } else {
        *parameters = kept;
        setResult(userCanceledErr);
    }
    releaseImage(&sourceImage);
    releaseImage(&maskImage);
}

void doContinue()
{
    const HostRect empty {0, 0, 0, 0};
    setInRect(empty);
    setOutRect(empty);
    setMaskRect(empty);
}

void doFinish()
{
    releaseSkin();
    if (const OSErr error = lockHandles(); error != noErr) {
        setResult(error);
        return;
    }
    writeScriptParameters();
    // A host without the registry cannot remember the parameters; the run itself succeeded.
    (void)writeRegistryParameters();
}
