// Linked into the test build of the GIMP plug-in only. No one sits at a headless GIMP's screen,
// so once the filter module makes its application, every window it shows is closed half a second
// later, as a person would close it. The plug-in and the module it loads share one Qt, so a
// start-up routine registered here runs when the module's application is made.

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

namespace {

constexpr int CloseAfterMs = 500;
constexpr int PollMs = 20;

void closeWindowsLater()
{
    QCoreApplication* application = QCoreApplication::instance();
    // Queued: start-up routines run inside the application's constructor, before it is whole.
    QMetaObject::invokeMethod(
        application,
        [application] {
            QElapsedTimer clock;
            clock.start();
            auto* timer = new QTimer(application);
            QObject::connect(timer, &QTimer::timeout, [clock] {
                if (clock.elapsed() < CloseAfterMs)
                    return;
                for (QWidget* window : QApplication::topLevelWidgets()) {
                    if (window->isVisible())
                        window->close();
                }
            });
            timer->start(PollMs);
        },
        Qt::QueuedConnection);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(closeWindowsLater)
