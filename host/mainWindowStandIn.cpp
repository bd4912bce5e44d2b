// Stand-in for the plug-in's window until the window itself is built: shows nothing and leaves
// sourceImage as the host delivered it, so Start hands the host its own pixels back.

#include "host/mainWindow.h"

bool runMainWindow()
{
    return true;
}
