// The Start selector's window: the plug-in's main window over the host's image records, owned by
// the host's window when the host gives one.

#include "module/startWindow.h"

#include "module/pluginCall.h"
#include "window/runMainWindow.h"

bool runMainWindow(PluginCall& call, StartImages* images)
{
    const FilterRecord* record = call.filterRecord;
    QWidget* hostWindow = record && record->platformData
        ? static_cast<QWidget*>(record->platformData->hwnd)
        : nullptr;
    return runMainWindowOn({images->source.get(), images->mask.get()}, hostWindow);
}
