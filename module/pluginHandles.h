#pragma once

// The module's two host handles (stored parameters and module data) and the initialisation of
// the module data. All functions work on the call; those that return a result code leave
// storing it to their caller, the others store theirs in the call's result.

#include "module/hostInterface.h"
#include "module/pluginCall.h"

// Creates FilterRecord::parameters (zero-filled) when it is null and the data slot's handle
// when the slot is 0. Sets memFullErr when the host cannot create one.
void createParameters(PluginCall& call);
void createData(PluginCall& call);

// Locks both handles (moveHigh) and keeps their contents in call. Returns
// filterBadParameters when a handle is missing, memFullErr when a lock fails, else noErr.
[[nodiscard]] OSErr lockHandles(PluginCall& call);

// Unlocks the data slot's handle and then the parameters handle, each only when present.
void unlockHandles(PluginCall& call);

// Fills colorArray with the background colour, blue, red and green (converted to the image's
// colour space), selects `color` by the disposition, and sets scaleFactor and
// queryForParameters.
void initialiseFilterData(PluginCall& call);

// The host colour space of an image mode; plugIncolorServicesChosenSpace for modes without one.
int16 colorSpaceOfMode(int imageMode);

// Converts an RGB colour to the image's colour space through the host; unchanged for RGB images
// and when the host cannot convert.
void convertColor(PluginCall& call, std::uint8_t color[4]);
