#include "host/qtApplication.h"

#include <QApplication>
#include <cstdlib>

namespace {

bool isSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && value[0];
}

// Qt's default platform needs a display; without one QApplication aborts the process.
bool canConnect()
{
    return isSet("QT_QPA_PLATFORM") || isSet("DISPLAY") || isSet("WAYLAND_DISPLAY");
}

// QApplication keeps references to these for its whole life.
int argumentCount = 1;
char programName[] = "Morvanclarity";
char* arguments[] = {programName, nullptr};

} // namespace

ModuleApplication::ModuleApplication()
{
    if (QCoreApplication* existing = QCoreApplication::instance()) {
        application = qobject_cast<QApplication*>(existing);
        return;
    }
    if (!canConnect())
        return;
    argumentCount = 1;
    application = new QApplication(argumentCount, arguments);
    owned = true;
}

ModuleApplication::~ModuleApplication()
{
    if (owned)
        delete application;
}
