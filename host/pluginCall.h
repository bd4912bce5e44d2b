#pragma once

// The state of the current PluginMain call: the host's arguments, the basic suite, the locked
// handles and the two image records that the Start selector fills. Set afresh at every call and
// valid until it returns; everything in host/ and the main window read it. One call at a time.

#include "host/hostInterface.h"
#include "host/pluginRecords.h"
#include "image/imageBuffer.h"

#include <cstdint>

struct PluginCall {
    FilterRecord* filterRecord; // null for the About selector
    AboutRecord* aboutRecord; // set only for the About selector
    std::intptr_t* data; // the host-kept slot of the FilterData handle
    int16* result;
    SPBasicSuite* basicSuite;
    FilterParameters* parameters; // valid after lockHandles succeeded
    FilterData* filterData; // valid after lockHandles succeeded
};

extern PluginCall pluginCall;

// The host image while Start runs: 1 or 3 channels (blue, green, red), depth 8 or 16 (full
// range). maskImage holds the host's transparency plane when there is one, else it is empty.
extern ImageBuffer sourceImage;
extern ImageBuffer maskImage;

// Sets the call's result code.
void setResult(OSErr code);
