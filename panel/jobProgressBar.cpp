#include "panel/jobProgressBar.h"

#include "platform/windowMessage.h"

JobProgressBar::JobProgressBar(QWidget* parent)
    : QProgressBar(parent)
{
    setTextVisible(false);
}

bool JobProgressBar::event(QEvent* event)
{
    if (event->type() != WindowMessageEvent::eventType())
        return QProgressBar::event(event);
    const auto* message = static_cast<WindowMessageEvent*>(event);
    switch (message->number) {
    case ProgressRangeMessage:
        setRange(int(message->wParam), int(message->lParam));
        break;
    case ProgressPositionMessage:
        setValue(int(message->wParam));
        break;
    case ProgressDeltaMessage:
        setValue(value() + int(std::intptr_t(message->wParam)));
        break;
    default:
        break;
    }
    return true;
}
