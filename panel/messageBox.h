#pragma once

// The window's message boxes (the crash warning, the pending-result question, About, notices),
// all through one function, so that a test can answer them without a modal loop.

#include <QRect>
#include <QString>
#include <memory>

class QMessageBox;
class QWidget;

enum class BoxButtons { Ok, YesNo };
enum class BoxAnswer { Ok, Yes, No };

// What a box shows.
struct BoxRequest {
    QWidget* owner;
    QString text;
    QString caption; // empty: no caption
    BoxButtons buttons;
    bool informationIcon;
    // Where the box is centred: a screen's area for a box shown before its owner is on the
    // screen (which would put it in the screen's corner); empty: over the owner, as Qt does.
    QRect centreIn {};
};

// Answers a box instead of showing it.
using MessageBoxHook = BoxAnswer (*)(const BoxRequest& request);

// Shows the box modally over its owner and returns the button chosen; closing the box without a
// button counts as Ok, or No for a question. With a hook installed, the hook answers instead.
BoxAnswer showMessageBox(const BoxRequest& request);

// The box showMessageBox shows for `request`, skinned, not yet shown.
std::unique_ptr<QMessageBox> buildMessageBox(const BoxRequest& request);

// Installs `hook` (null shows real boxes again); returns the previous one.
MessageBoxHook setMessageBoxHook(MessageBoxHook hook);
