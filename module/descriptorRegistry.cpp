#include "module/descriptorRegistry.h"

#include "module/parameterKeys.h"
#include "module/pluginCall.h"

#include <cstring>

namespace {

// The two suites, acquired together and released by whoever acquired them.
struct RegistrySuites {
    const PSDescriptorRegistryProcs* registry;
    const PSActionDescriptorProcs* descriptors;
};

[[nodiscard]] bool acquireSuites(const PluginCall& call, RegistrySuites* suites)
{
    *suites = {};
    const SPBasicSuite* basic = call.basicSuite;
    if (!basic || !basic->AcquireSuite || !basic->ReleaseSuite)
        return true;
    const void* registry = nullptr;
    const void* descriptors = nullptr;
    if (basic->AcquireSuite(
            kPSDescriptorRegistrySuite, kPSDescriptorRegistrySuiteVersion, &registry)
            == kSPNoError
        && registry)
        suites->registry = static_cast<const PSDescriptorRegistryProcs*>(registry);
    if (basic->AcquireSuite(kPSActionDescriptorSuite, kPSActionDescriptorSuiteVersion, &descriptors)
            == kSPNoError
        && descriptors)
        suites->descriptors = static_cast<const PSActionDescriptorProcs*>(descriptors);
    return !suites->registry || !suites->descriptors;
}

void releaseSuites(PluginCall& call, const RegistrySuites& suites)
{
    const SPBasicSuite* basic = call.basicSuite;
    if (suites.registry)
        basic->ReleaseSuite(kPSDescriptorRegistrySuite, kPSDescriptorRegistrySuiteVersion);
    if (suites.descriptors)
        basic->ReleaseSuite(kPSActionDescriptorSuite, kPSActionDescriptorSuiteVersion);
}

SPErr readEntry(PluginCall& call, const RegistrySuites& suites)
{
    PIActionDescriptor descriptor = nullptr;
    SPErr error = suites.registry->Get(PluginUniqueString, &descriptor);
    if (error != kSPNoError || !descriptor)
        return error;
    FilterParameters* parameters = call.parameters;
    DescriptorUnitID unit = 0;
    double percent = 0.0;
    error = suites.descriptors->GetUnitFloat(descriptor, keyAmount, &unit, &percent);
    if (error == kSPNoError) {
        parameters->percent = percentOfFloat(percent);
        DescriptorEnumTypeID type = 0;
        DescriptorEnumID value = 0;
        error = suites.descriptors->GetEnumerated(descriptor, keyDisposition, &type, &value);
        if (error == kSPNoError) {
            parameters->disposition = dispositionOfEnum(value);
            FilterData* data = call.filterData;
            std::memcpy(data->color, data->colorArray[colorArrayIndex(parameters->disposition)], 4);
            Boolean ignore = 0;
            error = suites.descriptors->GetBoolean(descriptor, keyIgnoreSelection, &ignore);
            if (error == kSPNoError)
                parameters->ignoreSelection = ignore ? 1 : 0;
        }
    }
    suites.descriptors->Free(descriptor);
    return error;
}

SPErr writeEntry(PluginCall& call, const RegistrySuites& suites)
{
    PIActionDescriptor descriptor = nullptr;
    SPErr error = suites.descriptors->Make(&descriptor);
    if (error != kSPNoError || !descriptor)
        return error != kSPNoError ? error : SPErr(memFullErr);
    const FilterParameters* parameters = call.parameters;
    error
        = suites.descriptors->PutUnitFloat(descriptor, keyAmount, unitPercent, parameters->percent);
    if (error == kSPNoError)
        error = suites.descriptors->PutEnumerated(
            descriptor, keyDisposition, typeMood, dispositionEnum(parameters->disposition));
    if (error == kSPNoError)
        error = suites.descriptors->PutBoolean(
            descriptor, keyIgnoreSelection, parameters->ignoreSelection ? 1 : 0);
    if (error == kSPNoError)
        error = suites.registry->Register(PluginUniqueString, descriptor, 1);
    suites.descriptors->Free(descriptor);
    return error;
}

// Runs one registry access with the suites it needs, released again on every path.
OSErr withRegistrySuites(PluginCall& call, SPErr (*access)(PluginCall&, const RegistrySuites&))
{
    RegistrySuites suites {};
    OSErr result = errPlugInHostInsufficient;
    if (!acquireSuites(call, &suites))
        result = access(call, suites) == kSPNoError ? noErr : errPlugInHostInsufficient;
    releaseSuites(call, suites);
    return result;
}

} // namespace

OSErr readRegistryParameters(PluginCall& call)
{
    return withRegistrySuites(call, readEntry);
}

OSErr writeRegistryParameters(PluginCall& call)
{
    return withRegistrySuites(call, writeEntry);
}
