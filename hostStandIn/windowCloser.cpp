#include "hostStandIn/windowCloser.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <cstdlib>

namespace {

bool isSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && value[0];
}

// QApplication keeps references to these for its whole life.
int argumentCount = 1;
char programName[] = "morvanclarity-host";
char* arguments[] = {programName, nullptr};

QApplication* ownApplication = nullptr;

} // namespace

bool closeWindowsAfter(int milliseconds, const std::string& screenshot)
{
    if (!QCoreApplication::instance()) {
        if (!isSet("QT_QPA_PLATFORM") && !isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY"))
            return true;
        ownApplication = new QApplication(argumentCount, arguments);
    }
    QElapsedTimer clock;
    clock.start();
    auto* timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer, &QTimer::timeout,
        [clock, milliseconds, grabPath = QString::fromStdString(screenshot)]() mutable {
            if (clock.elapsed() < milliseconds)
                return;
            if (!grabPath.isEmpty()) {
                QWidget* largest = nullptr;
                for (QWidget* window : QApplication::topLevelWidgets()) {
                    if (window->isVisible()
                        && (!largest
                            || window->width() * window->height()
                                > largest->width() * largest->height()))
                        largest = window;
                }
                if (largest)
                    (void)largest->grab().save(grabPath);
                grabPath.clear();
            }
            // Closing one window may delete others (the filter's window takes its panel and the
            // panel's menus with it): each is looked at only while it still exists.
            QList<QPointer<QWidget>> windows;
            for (QWidget* window : QApplication::topLevelWidgets())
                windows.append(window);
            for (const QPointer<QWidget>& window : windows) {
                if (window && window->isVisible())
                    window->close();
            }
        });
    timer->start(20);
    return false;
}

void endWindowCloser()
{
    delete ownApplication; // its timer with it
    ownApplication = nullptr;
}
