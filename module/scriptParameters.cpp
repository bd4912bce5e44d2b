#include "module/scriptParameters.h"

#include "module/parameterKeys.h"
#include "module/pluginCall.h"

#include <cstring>

namespace {

void selectColor(PluginCall& call, int16 disposition)
{
    FilterData* data = call.filterData;
    std::memcpy(data->color, data->colorArray[colorArrayIndex(disposition)], 4);
}

void disposeDescriptor(PluginCall& call, PIDescriptorParameters* descriptor)
{
    const HandleProcs* procs = call.filterRecord->handleProcs;
    if (descriptor->descriptor && procs && procs->disposeProc)
        procs->disposeProc(descriptor->descriptor);
    descriptor->descriptor = nullptr;
}

} // namespace

OSErr readScriptParameters(PluginCall& call, bool* showWindow)
{
    *showWindow = call.filterData->queryForParameters != 0;
    PIDescriptorParameters* descriptor = call.filterRecord->descriptorParameters;
    if (!descriptor || !descriptor->readDescriptorProcs || !descriptor->descriptor)
        return noErr;
    const ReadDescriptorProcs* procs = descriptor->readDescriptorProcs;
    DescriptorKeyID keys[] = {keyAmount, keyDisposition, NULLID};
    const PIReadDescriptor reader = procs->openReadDescriptorProc(descriptor->descriptor, keys);
    FilterParameters* parameters = call.parameters;
    DescriptorKeyID key = 0;
    DescriptorTypeID type = 0;
    int32 flags = 0;
    while (reader && procs->getKeyProc(reader, &key, &type, &flags)) {
        if (key == keyAmount) {
            DescriptorUnitID unit = 0;
            double value = 0.0;
            if (procs->getUnitFloatProc(reader, &unit, &value) == noErr)
                parameters->percent = percentOfFloat(value);
        } else if (key == keyDisposition) {
            DescriptorEnumID value = 0;
            if (procs->getEnumeratedProc(reader, &value) == noErr) {
                parameters->disposition = dispositionOfEnum(value);
                selectColor(call, parameters->disposition);
            }
        } else if (key == keyIgnoreSelection) {
            Boolean value = 0;
            if (procs->getBooleanProc(reader, &value) == noErr)
                parameters->ignoreSelection = value ? 1 : 0;
        } else {
            break;
        }
    }
    const OSErr result = procs->closeReadDescriptorProc(reader);
    disposeDescriptor(call, descriptor);
    *showWindow = descriptor->playInfo == plugInDialogDisplay;
    return result;
}

void writeScriptParameters(PluginCall& call)
{
    PIDescriptorParameters* descriptor = call.filterRecord->descriptorParameters;
    if (!descriptor || !descriptor->writeDescriptorProcs)
        return;
    const WriteDescriptorProcs* procs = descriptor->writeDescriptorProcs;
    const PIWriteDescriptor writer = procs->openWriteDescriptorProc();
    if (!writer)
        return;
    const FilterParameters* parameters = call.parameters;
    double percent = parameters->percent;
    procs->putUnitFloatProc(writer, keyAmount, unitPercent, &percent);
    procs->putEnumeratedProc(
        writer, keyDisposition, typeMood, dispositionEnum(parameters->disposition));
    procs->putBooleanProc(writer, keyIgnoreSelection, parameters->ignoreSelection ? 1 : 0);
    disposeDescriptor(call, descriptor);
    procs->closeWriteDescriptorProc(writer, &descriptor->descriptor);
    descriptor->recordInfo = plugInDialogOptional;
}
