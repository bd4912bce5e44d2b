#include "host/pluginHandles.h"

#include "host/pluginCall.h"

#include <cstring>

namespace {

HandleProcs* handleProcs()
{
    return pluginCall.filterRecord->handleProcs;
}

Handle dataHandle()
{
    return pluginCall.data ? reinterpret_cast<Handle>(*pluginCall.data) : nullptr;
}

Handle newHandle(int32 size)
{
    const HandleProcs* procs = handleProcs();
    return procs && procs->newProc ? procs->newProc(size) : nullptr;
}

Ptr lockHandle(Handle handle)
{
    const HandleProcs* procs = handleProcs();
    return procs && procs->lockProc ? procs->lockProc(handle, 1) : nullptr;
}

void unlockHandle(Handle handle)
{
    const HandleProcs* procs = handleProcs();
    if (procs && procs->unlockProc)
        procs->unlockProc(handle);
}

} // namespace

void createParameters()
{
    FilterRecord* record = pluginCall.filterRecord;
    record->parameters = newHandle(FilterParametersSize);
    if (!record->parameters) {
        setResult(memFullErr);
        return;
    }
    // The host's new memory is undefined, and these values are stored and scripted: start
    // from zeros rather than from whatever the block held.
    if (Ptr contents = lockHandle(record->parameters)) {
        std::memset(contents, 0, FilterParametersSize);
        unlockHandle(record->parameters);
    }
}

void createData()
{
    if (!pluginCall.data) {
        setResult(memFullErr);
        return;
    }
    const Handle handle = newHandle(FilterDataSize);
    *pluginCall.data = reinterpret_cast<std::intptr_t>(handle);
    if (!handle)
        setResult(memFullErr);
}

OSErr lockHandles()
{
    FilterRecord* record = pluginCall.filterRecord;
    const Handle data = dataHandle();
    if (!record->parameters || !data)
        return filterBadParameters;
    pluginCall.parameters = reinterpret_cast<FilterParameters*>(lockHandle(record->parameters));
    pluginCall.filterData = reinterpret_cast<FilterData*>(lockHandle(data));
    if (!pluginCall.parameters || !pluginCall.filterData)
        return memFullErr;
    return noErr;
}

void unlockHandles()
{
    if (const Handle data = dataHandle())
        unlockHandle(data);
    if (pluginCall.filterRecord->parameters)
        unlockHandle(pluginCall.filterRecord->parameters);
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

void convertColor(std::uint8_t color[4])
{
    const FilterRecord* record = pluginCall.filterRecord;
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

void initialiseFilterData()
{
    FilterData* data = pluginCall.filterData;
    static constexpr std::uint8_t fixedColors[3][4]
        = {{0, 0, 255, 0}, {255, 0, 0, 0}, {0, 255, 0, 0}};
    std::memcpy(data->colorArray[0], pluginCall.filterRecord->backColor, 4);
    for (int i = 1; i < 4; ++i) {
        std::memcpy(data->colorArray[i], fixedColors[i - 1], 4);
        convertColor(data->colorArray[i]);
    }
    std::memcpy(
        data->color, data->colorArray[colorArrayIndex(pluginCall.parameters->disposition)], 4);
    data->scaleFactor = 1.0f;
    data->queryForParameters = 1;
}
