#include "host/scriptParameters.h"

#include "host/parameterKeys.h"
#include "host/pluginCall.h"

#include <cstring>

namespace {

void selectColor(int16 disposition)
{
    FilterData* data = pluginCall.filterData;
    std::memcpy(data->color, data->colorArray[colorArrayIndex(disposition)], 4);
}

void disposeDescriptor(PIDescriptorParameters* descriptor)
{
    const HandleProcs* procs = pluginCall.filterRecord->handleProcs;
    if (descriptor->descriptor && procs && procs->disposeProc)
        procs->disposeProc(descriptor->descriptor);
    descriptor->descriptor = nullptr;
}

} // namespace

OSErr readScriptParameters(bool* showWindow)
{
    *showWindow = pluginCall.filterData->queryForParameters != 0;
    PIDescriptorParameters* descriptor = pluginCall.filterRecord->descriptorParameters;
    if (!descriptor || !descriptor->readDescriptorProcs || !descriptor->descriptor)
        return noErr;
    const ReadDescriptorProcs* procs = descriptor->readDescriptorProcs;
    DescriptorKeyID keys[] = {keyAmount, keyDisposition, NULLID};
    const PIReadDescriptor reader = procs->openReadDescriptorProc(descriptor->descriptor, keys);
    FilterParameters* parameters = pluginCall.parameters;
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
                selectColor(parameters->disposition);
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
    disposeDescriptor(descriptor);
    *showWindow = descriptor->playInfo == plugInDialogDisplay;
    return result;
}

void writeScriptParameters()
{
    PIDescriptorParameters* descriptor = pluginCall.filterRecord->descriptorParameters;
    if (!descriptor || !descriptor->writeDescriptorProcs)
        return;
    const WriteDescriptorProcs* procs = descriptor->writeDescriptorProcs;
    const PIWriteDescriptor writer = procs->openWriteDescriptorProc();
    if (!writer)
        return;
    const FilterParameters* parameters = pluginCall.parameters;
    double percent = parameters->percent;
    procs->putUnitFloatProc(writer, keyAmount, unitPercent, &percent);
    procs->putEnumeratedProc(
        writer, keyDisposition, typeMood, dispositionEnum(parameters->disposition));
    procs->putBooleanProc(writer, keyIgnoreSelection, parameters->ignoreSelection ? 1 : 0);
    disposeDescriptor(descriptor);
    procs->closeWriteDescriptorProc(writer, &descriptor->descriptor);
    descriptor->recordInfo = plugInDialogOptional;
}
