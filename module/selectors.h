#pragma once

// One function per selector of PluginMain, run on the call PluginMain made.
// Each reports through the call's result code.

#include "module/pluginCall.h"

void doAbout(PluginCall& call);
void doParameters(PluginCall& call);
void doPrepare(PluginCall& call);
void doStart(PluginCall& call);
void doContinue(PluginCall& call);
void doFinish(PluginCall& call);
