#include "panel/panelState.h"

PanelState panelState;
DeblurParams deblurParams;
