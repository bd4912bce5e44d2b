#include "window/runMainWindow.h"

#include "platform/windowMessage.h"
#include "window/toolbarPictures.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QScreen>
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

bool runMainWindowOn(WindowImages images, QWidget* hostWindow, const LocalePaths& paths)
{
    if (!windowApplication())
        return false;
    QPointer<QWidget> host(hostWindow);
    if (host)
        host->setEnabled(false);
    auto* window = new MainWindow(images, paths, hostWindow);
    if (!window->created()) {
        delete window;
        if (host)
            host->setEnabled(true);
        return false;
    }
    window->setAttribute(Qt::WA_DeleteOnClose);
    bool alphaRemoved = false;
    window->setWindowIcon(QIcon(
        QPixmap::fromImage(bitmapFromPngResource(QStringLiteral("DEBLUR_FOCUS"), &alphaRemoved))));
    window->setWindowTitle(QStringLiteral("Tarnwick - Morvanclarity plug-in"));
    QEventLoop loop;
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    // Without a window manager (a bare X server) maximising does nothing: start at the size a
    // maximised window would have.
    if (const QScreen* screen = window->screen())
        window->setGeometry(screen->availableGeometry());
    window->showMaximized();
    sendWindowMessage(window, FirstDisplayMessage);
    loop.exec();
    if (host) {
        host->setEnabled(true);
        host->activateWindow();
        host->setFocus();
    }
    return true;
}
