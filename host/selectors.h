#pragma once

// One function per selector of PluginMain, run after pluginCall has been set for the call.
// Each reports through pluginCall's result code.

void doAbout();
void doParameters();
void doPrepare();
void doStart();
void doContinue();
void doFinish();
