#include "platform/windowMessage.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QThread>

WindowMessageEvent::WindowMessageEvent(int number, std::uintptr_t wParam, std::intptr_t lParam)
    : QEvent(eventType())
    , number(number)
    , wParam(wParam)
    , lParam(lParam)
{
}

QEvent::Type WindowMessageEvent::eventType()
{
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

bool postWindowMessage(QObject* receiver, int number, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (!receiver)
        return false;
    QCoreApplication::postEvent(receiver, new WindowMessageEvent(number, wParam, lParam));
    return true;
}

std::intptr_t sendWindowMessage(
    QObject* receiver, int number, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (!receiver)
        return 0;
    WindowMessageEvent message(number, wParam, lParam);
    if (receiver->thread() == QThread::currentThread()) {
        QCoreApplication::sendEvent(receiver, &message);
    } else {
        QMetaObject::invokeMethod(
            receiver, [receiver, &message] { QCoreApplication::sendEvent(receiver, &message); },
            Qt::BlockingQueuedConnection);
    }
    return message.result;
}
