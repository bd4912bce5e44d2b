#include "host/pluginCall.h"

PluginCall pluginCall {};
ImageBuffer sourceImage {};
ImageBuffer maskImage {};

void setResult(OSErr code)
{
    if (pluginCall.result)
        *pluginCall.result = code;
}
