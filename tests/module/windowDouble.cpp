#include "tests/module/windowDouble.h"

#include "module/startWindow.h"

WindowDouble windowDouble;

bool runMainWindow(PluginCall&, StartImages* images)
{
    ++windowDouble.runs;
    if (!windowDouble.created)
        return true;
    if (windowDouble.whileOpen)
        windowDouble.whileOpen(images);
    return false;
}
