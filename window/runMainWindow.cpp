#include "window/runMainWindow.h"

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
        return true;
    QPointer<QWidget> host(hostWindow);
    if (host)
        host->setEnabled(false);
    // A child of the host's window: the window manager keeps it above the host's and ties it to
    // it (transient for the host's window).
    auto* window = new MainWindow(images, paths, hostWindow);
    if (!window->created()) {
        delete window;
        if (host)
            host->setEnabled(true);
        return true;
    }
    window->setAttribute(Qt::WA_DeleteOnClose);
    bool alphaRemoved = false;
    window->setWindowIcon(QIcon(
        QPixmap::fromImage(bitmapFromPngResource(QStringLiteral("DEBLUR_FOCUS"), &alphaRemoved))));
    window->setWindowTitle(QStringLiteral("Tarnwick - Morvanclarity plug-in"));
    QEventLoop loop;
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    // It opens maximised; restored, it takes about 80 % of the screen, centred with its title
    // bar on the screen.
    if (const QScreen* screen = host ? host->screen() : window->screen())
        window->setGeometry(MainWindow::restoredGeometry(screen->availableGeometry()));
    window->showMaximized();
    window->showImage();
    loop.exec();
    if (host) {
        host->setEnabled(true);
        host->activateWindow();
        host->setFocus();
    }
    return false;
}
