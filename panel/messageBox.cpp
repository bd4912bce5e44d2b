#include "panel/messageBox.h"

#include <QMessageBox>

namespace {

MessageBoxHook installedHook = nullptr;

} // namespace

BoxAnswer showMessageBox(const BoxRequest& request)
{
    if (installedHook)
        return installedHook(request);
    QMessageBox box(request.informationIcon ? QMessageBox::Information : QMessageBox::NoIcon,
        request.caption, request.text,
        request.buttons == BoxButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
        request.owner);
    const int chosen = box.exec();
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
