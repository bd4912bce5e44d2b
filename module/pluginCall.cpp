#include "module/pluginCall.h"

void setResult(const PluginCall& call, OSErr code)
{
    if (call.result)
        *call.result = code;
}
