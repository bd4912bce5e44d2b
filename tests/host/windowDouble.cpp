#include "tests/host/windowDouble.h"

#include "host/mainWindow.h"

WindowDouble windowDouble;

bool runMainWindow()
{
    ++windowDouble.runs;
    if (!windowDouble.created)
        return true;
    if (windowDouble.whileOpen)
        windowDouble.whileOpen();
    return false;
}
