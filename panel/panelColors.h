#pragma once

// The panel's colours: the skin's slots, through skinQColor.

#include "skin/skinSlots.h"
#include "skin/skinStyle.h"
