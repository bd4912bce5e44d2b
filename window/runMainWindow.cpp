#include "window/runMainWindow.h"

#include "window/toolbarPictures.h"
#include "window/windowApplication.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QScreen>

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
