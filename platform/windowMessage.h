#pragma once

// The private messages between the main window, the deblur panel and the job thread, carried
// over Qt's event queue. A message is a number and two parameters; the receiver handles it in
// its event() as a WindowMessageEvent and may leave a result in it.
//
// postWindowMessage queues the message and returns at once. sendWindowMessage delivers it before
// returning: directly when called on the receiver's thread, otherwise through the receiver's
// queue while the calling thread waits.

#include <QEvent>
#include <cstdint>

class QObject;

// The message numbers. The panel and the job thread send the first ones to the main window; the
// window sends FirstDisplayMessage to itself once it is shown.
constexpr int RenderFreshMessage = 4247; // the result's pixels changed: rebuild the view's copy
constexpr int RenderCachedMessage = 4252; // redraw from the view's copy
constexpr int RenderPointsMessage = 4260; // redraw from the view's copy (motion line changed)
constexpr int JobFinishedMessage = 4266; // a job's result is in the result image
constexpr int JobAbortedMessage = 4267; // a job ended without a result
constexpr int StartJobMessage = 4270; // start the full job (wParam 0, lParam the detail value)
constexpr int TypedZoomMessage = 4271; // the zoom box's text was confirmed with Enter
constexpr int UpdatePointsMessage = 4275; // recompute the motion points' screen positions
constexpr int PreviewMessage = 4277; // the panel's own: run the preview
constexpr int FirstDisplayMessage = 5024; // show the image for the first time

class WindowMessageEvent : public QEvent {
public:
    WindowMessageEvent(int number, std::uintptr_t wParam, std::intptr_t lParam);

    // The event type every window message travels as.
    static QEvent::Type eventType();

    int number;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    std::intptr_t result = 0; // what the receiver answers; 0 unless it sets it
};

// Queues the message for `receiver`. Returns false when there is no receiver.
bool postWindowMessage(
    QObject* receiver, int number, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);

// Delivers the message and returns the receiver's result (0 when there is no receiver). From
// another thread the caller blocks until the receiver's thread has handled it, so the receiver's
// thread must not be waiting for the caller.
std::intptr_t sendWindowMessage(
    QObject* receiver, int number, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
