#pragma once

// Where the deblur panel plugs into the main window. The panel is built by its own code; until
// one is installed, the correction commands open nothing.

class Docker;
class MainWindow;
class QWidget;

// Creates the deblur panel as a child of `docker` for `window` (motionMode already set), or
// returns null when it cannot. When the panel closes it calls MainWindow::panelClosed.
using PanelFactory = QWidget* (*)(MainWindow* window, Docker* docker);

void setPanelFactory(PanelFactory factory);
PanelFactory panelFactory();

// The panel's size, which sets the docker's width (the panel's width plus one pixel).
constexpr int PanelWidth = 280;
constexpr int PanelHeight = 289;
