#pragma once

// How FilterParameters travel in descriptors, both in scripting and in the descriptor registry:
// the keys, the types and the value mappings.

#include "module/hostInterface.h"

constexpr DescriptorKeyID keyAmount = fourCharCode("Amnt"); // unit float, #Prc: percent
constexpr DescriptorKeyID keyDisposition = fourCharCode("disP"); // enumerated mooD
constexpr DescriptorKeyID keyIgnoreSelection = fourCharCode("ignS"); // boolean
constexpr DescriptorEnumTypeID typeMood = fourCharCode("mooD");
constexpr DescriptorEnumID enumMoD0 = fourCharCode("moD0");
constexpr DescriptorEnumID enumMoD1 = fourCharCode("moD1");
constexpr DescriptorEnumID enumMoD2 = fourCharCode("moD2");
constexpr DescriptorEnumID enumMoD3 = fourCharCode("moD3");

// The key of the module's entry in the host's descriptor registry.
constexpr const char* PluginUniqueString = "4f1c2a90-6b3e-11e0-8d15-0800200c7e21";

// 0, 2 and 3 map to moD0, moD2 and moD3; every other disposition is moD1.
constexpr DescriptorEnumID dispositionEnum(int disposition)
{
    switch (disposition) {
    case 0:
        return enumMoD0;
    case 2:
        return enumMoD2;
    case 3:
        return enumMoD3;
    default:
        return enumMoD1;
    }
}

// moD0, moD2 and moD3 map back to 0, 2 and 3; anything else is 1.
constexpr int16 dispositionOfEnum(DescriptorEnumID value)
{
    if (value == enumMoD0)
        return 0;
    if (value == enumMoD2)
        return 2;
    if (value == enumMoD3)
        return 3;
    return 1;
}

// A scripted amount truncated toward zero. Descriptors come from outside, so values beyond the
// 16-bit field are clamped to it and NaN gives 0.
constexpr int16 percentOfFloat(double value)
{
    if (!(value == value))
        return 0;
    if (value >= 32767.0)
        return 32767;
    if (value <= -32768.0)
        return -32768;
    return int16(value);
}
