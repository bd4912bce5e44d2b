#pragma once

// The state of one PluginMain call: the host's arguments, the basic suite and the locked handles.
// PluginMain makes it for the call and hands it to every function of host/ that works on the
// call; nothing of it outlives the call.

#include "image/imageBuffer.h"
#include "module/hostInterface.h"
#include "module/pluginRecords.h"

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

// Sets the call's result code.
void setResult(const PluginCall& call, OSErr code);
