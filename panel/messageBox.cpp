#include "panel/messageBox.h"

#include "skin/applySkin.h"

#include <QMessageBox>
#include <QPointer>

namespace {

MessageBoxHook installedHook = nullptr;

} // namespace

std::unique_ptr<QMessageBox> buildMessageBox(const BoxRequest& request)
{
    auto box = std::make_unique<QMessageBox>(
        request.informationIcon ? QMessageBox::Information : QMessageBox::NoIcon, request.caption,
        request.text,
        request.buttons == BoxButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
        request.owner);
    box->setTextFormat(Qt::PlainText);
    applySkin(box.get());
    if (!request.centreIn.isEmpty()) {
        box->adjustSize();
        box->move(request.centreIn.center() - box->rect().center());
    }
    return box;
}

BoxAnswer showMessageBox(const BoxRequest& request)
{
    if (installedHook)
        return installedHook(request);
    // The owner may be deleted while the box is up (the window closed from elsewhere), and the box
    // with it: the box is held by a guard, not owned twice.
    QPointer<QMessageBox> box = buildMessageBox(request).release();
    const int chosen = box->exec();
    delete box.data();
    if (request.buttons == BoxButtons::Ok)
        return BoxAnswer::Ok;
    return chosen == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
}

MessageBoxHook setMessageBoxHook(MessageBoxHook hook)
{
    const MessageBoxHook previous = installedHook;
    installedHook = hook;
    return previous;
}
