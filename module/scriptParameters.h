#pragma once

// Scripting: reading the parameters of a scripted run at Start and recording the parameters
// used at Finish, through FilterRecord::descriptorParameters. Work on the call with the
// handles locked.

#include "module/hostInterface.h"
#include "module/pluginCall.h"

// Reads Amnt, disP and ignS from the host's descriptor, when there is one, and consumes it.
// `showWindow` starts as FilterData::queryForParameters and, after a descriptor was read,
// becomes whether the host asks for the dialog. Returns the close's result (noErr without a
// descriptor).
[[nodiscard]] OSErr readScriptParameters(PluginCall& call, bool* showWindow);

// Records the parameters as the run's descriptor, replacing the host's old one.
void writeScriptParameters(PluginCall& call);
