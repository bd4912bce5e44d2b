// The main window's commands that open something of their own: About, the application menu and
// the Options dialog.

#include "window/mainWindow.h"

#include "panel/interfaceText.h"
#include "panel/messageBox.h"
#include "platform/version.h"
#include "window/commands.h"
#include "window/optionsDialog.h"
#include "window/toolbar.h"

#include <QMenu>
#include <QToolButton>

void MainWindow::showAbout()
{
    showMessageBox({this,
        QStringLiteral("Morvanclarity Plug-In, Version %1\n"
                       "Copyright (C) the Morvanclarity developers.\n"
                       "Richardson-Lucy deblurring for photographs.")
            .arg(QLatin1String(MorvanclarityVersion)),
        interfaceText(StringAbout), BoxButtons::Ok, true});
}

void MainWindow::showApplicationMenu()
{
    QToolButton* button = tools->button(MenuCommand);
    if (!menuCommand->isEnabled())
        return;
    QMenu* menu = applicationMenu();
    menu->exec(button->mapToGlobal(button->rect().bottomLeft()));
    delete menu;
}

QMenu* MainWindow::applicationMenu()
{
    return buildApplicationMenu(
        this, {optionsCommand, exitCommand, focusAction, motionAction, aboutCommand});
}

void MainWindow::showOptions()
{
    runOptionsFlow(this, &settings, paths);
}
