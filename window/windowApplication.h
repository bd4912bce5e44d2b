#pragma once

// The one QApplication of the module's windows (the main window and the About box): the host's
// when it is a Qt Widgets program, else one made on first use and kept for the rest of the
// process, since a host runs the filter many times and Qt does not support a second QApplication
// after the first one is deleted in every respect.

class QApplication;

// The application; null when no window can be shown (a host running a Qt application without
// widgets, or no display to connect to: Qt would end the process trying).
QApplication* windowApplication();
