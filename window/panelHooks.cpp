#include "window/panelHooks.h"

namespace {

PanelFactory installedFactory = nullptr;

} // namespace

void setPanelFactory(PanelFactory factory)
{
    installedFactory = factory;
}

PanelFactory panelFactory()
{
    return installedFactory;
}
