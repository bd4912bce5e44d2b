#pragma once

// The parameters kept in the host's descriptor registry under the module's unique string, so
// that the next run of the host starts from the last values. Work on the call with the handles
// locked. Errors never fail a selector: the caller may ignore the result.

#include "module/hostInterface.h"
#include "module/pluginCall.h"

// Reads percent, disposition (and the colour it selects) and ignoreSelection from the registry
// entry, when there is one, stopping at the first error. errPlugInHostInsufficient without a
// basic suite or either descriptor suite, and when the host reports an error.
[[nodiscard]] OSErr readRegistryParameters(PluginCall& call);

// Registers the parameters persistently, stopping at the first error.
[[nodiscard]] OSErr writeRegistryParameters(PluginCall& call);
