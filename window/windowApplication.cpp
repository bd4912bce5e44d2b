#include "window/windowApplication.h"

#include <QApplication>
#include <cstdlib>

namespace {

bool isSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && value[0];
}

// Qt's default platform needs a display; without one QApplication ends the process.
bool canConnect()
{
    return isSet("QT_QPA_PLATFORM") || isSet("DISPLAY") || isSet("WAYLAND_DISPLAY");
}

// QApplication keeps references to these for its whole life.
int argumentCount = 1;
char programName[] = "Morvanclarity";
char* arguments[] = {programName, nullptr};

} // namespace

QApplication* windowApplication()
{
    if (QCoreApplication* existing = QCoreApplication::instance())
        return qobject_cast<QApplication*>(existing);
    if (!canConnect())
        return nullptr;
    argumentCount = 1;
    // Kept for the rest of the process: a host runs the filter many times, and Qt does not
    // support making a second QApplication after deleting the first one in every respect.
    auto* application = new QApplication(argumentCount, arguments);
    // The window runs its own loop; nothing of the application's may end with it.
    application->setQuitOnLastWindowClosed(false);
    return application;
}
