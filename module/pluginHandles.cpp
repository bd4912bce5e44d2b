#include "module/pluginHandles.h"

#include "module/pluginCall.h"

#include <cstring>

namespace {

HandleProcs* handleProcs(PluginCall& call)
{
    return call.filterRecord->handleProcs;
}

Handle dataHandle(PluginCall& call)
{
    return call.data ? reinterpret_cast<Handle>(*call.data) : nullptr;
}

Handle newHandle(PluginCall& call, int32 size)
{
    const HandleProcs* procs = handleProcs(call);
    return procs && procs->newProc ? procs->newProc(size) : nullptr;
}

Ptr lockHandle(PluginCall& call, Handle handle)
{
    const HandleProcs* procs = handleProcs(call);
    return procs && procs->lockProc ? procs->lockProc(handle, 1) : nullptr;
}

void unlockHandle(PluginCall& call, Handle handle)
{
    const HandleProcs* procs = handleProcs(call);
    if (procs && procs->unlockProc)
        procs->unlockProc(handle);
}

} // namespace

void createParameters(PluginCall& call)
{
    FilterRecord* record = call.filterRecord;
    record->parameters = newHandle(call, FilterParametersSize);
    if (!record->parameters) {
        setResult(call, memFullErr);
        return;
    }
    // The host's new memory is undefined, and these values are stored and scripted: start
    // from zeros rather than from whatever the block held.
    if (Ptr contents = lockHandle(call, record->parameters)) {
        std::memset(contents, 0, FilterParametersSize);
        unlockHandle(call, record->parameters);
    }
}

void createData(PluginCall& call)
{
    if (!call.data) {
        setResult(call, memFullErr);
        return;
    }
    const Handle handle = newHandle(call, FilterDataSize);
    *call.data = reinterpret_cast<std::intptr_t>(handle);
    if (!handle)
        setResult(call, memFullErr);
}

OSErr lockHandles(PluginCall& call)
{
    FilterRecord* record = call.filterRecord;
    const Handle data = dataHandle(call);
    if (!record->parameters || !data)
        return filterBadParameters;
    call.parameters = reinterpret_cast<FilterParameters*>(lockHandle(call, record->parameters));
    call.filterData = reinterpret_cast<FilterData*>(lockHandle(call, data));
    if (!call.parameters || !call.filterData)
        return memFullErr;
    return noErr;
}

void unlockHandles(PluginCall& call)
{
    if (const Handle data = dataHandle(call))
        unlockHandle(call, data);
    if (call.filterRecord->parameters)
        unlockHandle(call, call.filterRecord->parameters);
}

int16 colorSpaceOfMode(int imageMode)
{
    // Indexed by image mode: bitmap, gray scale, indexed, RGB, CMYK, HSL, HSB, multichannel,
    // duotone, Lab, gray 16, RGB 48, Lab 48, CMYK 64, deep multichannel, duotone 16, RGB 96,
    // gray 32. Modes without a colour space of their own take the chosen one.
    constexpr int16 chosen = plugIncolorServicesChosenSpace;
    constexpr int16 rgb = plugIncolorServicesRGBSpace;
    constexpr int16 hsb = plugIncolorServicesHSBSpace;
    constexpr int16 cmyk = plugIncolorServicesCMYKSpace;
    constexpr int16 lab = plugIncolorServicesLabSpace;
    constexpr int16 gray = plugIncolorServicesGraySpace;
    constexpr int16 hsl = plugIncolorServicesHSLSpace;
    constexpr int16 spaces[] = {chosen, gray, chosen, rgb, cmyk, hsl, hsb, chosen, gray, lab, gray,
        rgb, lab, cmyk, chosen, gray, rgb, gray};
    constexpr int count = int(sizeof(spaces) / sizeof(spaces[0]));
    return imageMode >= 0 && imageMode < count ? spaces[imageMode] : plugIncolorServicesChosenSpace;
}

void convertColor(PluginCall& call, std::uint8_t color[4])
{
    const FilterRecord* record = call.filterRecord;
    if (record->imageMode == plugInModeRGBColor || !record->colorServices)
        return;
    ColorServicesInfo info {};
    info.infoSize = int32(sizeof(ColorServicesInfo));
    info.selector = plugIncolorServicesConvertColor;
    info.sourceSpace = plugIncolorServicesRGBSpace;
    info.resultSpace = colorSpaceOfMode(record->imageMode);
    for (int i = 0; i < 4; ++i)
        info.colorComponents[i] = color[i];
    if (record->colorServices(&info) != noErr)
        return;
    for (int i = 0; i < 4; ++i)
        color[i] = std::uint8_t(info.colorComponents[i] & 0xFF);
}

void initialiseFilterData(PluginCall& call)
{
    FilterData* data = call.filterData;
    static constexpr std::uint8_t fixedColors[3][4]
        = {{0, 0, 255, 0}, {255, 0, 0, 0}, {0, 255, 0, 0}};
    std::memcpy(data->colorArray[0], call.filterRecord->backColor, 4);
    for (int i = 1; i < 4; ++i) {
        std::memcpy(data->colorArray[i], fixedColors[i - 1], 4);
        convertColor(call, data->colorArray[i]);
    }
    std::memcpy(data->color, data->colorArray[colorArrayIndex(call.parameters->disposition)], 4);
    data->scaleFactor = 1.0f;
    data->queryForParameters = 1;
}
