#pragma once

// The two small records the module keeps in host memory between calls: the stored parameters
// behind FilterRecord::parameters and the module's data behind the host-kept data slot. Neither
// influences the deblurring; the parameters are stored and scripted with the host.

#include <cstdint>

struct FilterParameters {
    std::int16_t percent; // an amount in percent
    std::int16_t disposition; // 0..3: which colorArray entry is `color`
    std::uint8_t ignoreSelection; // 0 or 1
};
static_assert(sizeof(FilterParameters) == 6);

constexpr std::int32_t FilterParametersSize = 6;
constexpr std::int32_t FilterDataSize = 72; // the size the data handle is requested with

// Fields not named here belong to the layout but are never touched.
struct FilterData {
    std::uint8_t color[4]; // copy of colorArray[disposition]
    std::uint8_t colorArray[4][4];
    std::uint8_t queryForParameters; // set when initialised, cleared by every Start
    std::uint8_t unused1[3];
    float scaleFactor;
    std::uint8_t unused2[44];
};
static_assert(sizeof(FilterData) == FilterDataSize);

// The colorArray entry a disposition selects: 0, 2 and 3 select themselves, every other value
// (including values read from uninitialised or foreign memory) selects 1, as the scripted
// disposition does.
constexpr int colorArrayIndex(int disposition)
{
    return disposition == 0 || disposition == 2 || disposition == 3 ? disposition : 1;
}
