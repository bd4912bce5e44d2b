#pragma once

// The modal about box of the About selector.

#include "module/hostInterface.h"

// The text of string 16000: the product name, a blank line and the version line.
const char* aboutText();

// Shows the box over the host's window (or the screen) until Enter, Esc or a left click closes
// it. Its two link items open "http://" + their text through the host's BrowseUrl. Shows nothing
// when no window can be shown.
void showAboutBox(const AboutRecord* record);
