#include "tests/window/windowFixture.h"

#include "settings/settings.h"

#include "skin/skinColors.h"
#include "skin/skinStyle.h"
#include "tests/support/grabPixels.h"
#include "window/commands.h"
#include "window/docker.h"
#include "window/optionsDialog.h"
#include "window/toolbar.h"

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

namespace {

using SkinnedWindows = WindowFixture;

QRgb slotRgb(int slot)
{
    return skinQColor(slot).rgb();
}

QRect rectIn(const QWidget* child, const QWidget* window)
{
    return QRect(child->mapTo(window, QPoint(0, 0)), child->size());
}

// The view's canvas starts in the workspace colour; every bar, button and the docker are in the
// scheme's greys, and nothing is light. The host's window keeps its style.
TEST_F(SkinnedWindows, TheMainWindowIsDarkThroughout)
{
    QWidget host;
    QStyle* hostStyle = host.style();
    makeSource(300, 200);
    window = new MainWindow({source.get(), mask.get()}, paths, &host);
    ASSERT_TRUE(window->created());
    EXPECT_EQ(canvasAt(10, 10), std::vector<int>({0x23, 0x23, 0x23})) << "workspace";
    window->resize(900, 600);
    window->show();
    const QImage grab = grabOf(window, "skinnedMainWindow");

    const QRect tools = rectIn(window->toolbar(), window);
    const QRect dock = rectIn(window->docker(), window);
    const QStatusBar* status = window->findChild<QStatusBar*>();
    ASSERT_TRUE(status);
    const QRect bar = rectIn(status, window);
    EXPECT_EQ(pixelOf(grab, tools.topLeft() + QPoint(2, 2)), slotRgb(15)) << "toolbar";
    EXPECT_EQ(pixelOf(grab, dock.topLeft() + QPoint(20, 20)), slotRgb(15)) << "docker";
    EXPECT_EQ(pixelOf(grab, dock.topLeft() + QPoint(0, 20)), slotRgb(20)) << "docker's edge";
    EXPECT_EQ(pixelOf(grab, bar.topRight() + QPoint(-3, 8)), slotRgb(15)) << "status bar";
    EXPECT_EQ(brightest(grab, bar), slotRgb(18)) << "status text";
    const QToolButton* menu = window->toolbar()->button(MenuCommand);
    EXPECT_EQ(brightest(grab, rectIn(menu, window)), slotRgb(18)) << "the Menu button's text";
    EXPECT_EQ(lightPixels(grab), 0);

    QStyle* skin = window->style();
    EXPECT_NE(skin, QApplication::style());
    EXPECT_EQ(menu->style(), skin);
    EXPECT_EQ(window->toolbar()->zoomBox()->style(), skin);
    EXPECT_EQ(host.style(), hostStyle);
    EXPECT_FALSE(host.property("WindowProc").isValid());

    // The application menu is made on demand; it is skinned once polished.
    std::unique_ptr<QMenu> applicationMenu(window->applicationMenu());
    const QImage menuGrab = grabOf(applicationMenu.get(), "skinnedMenu");
    EXPECT_EQ(applicationMenu->style(), skin);
    EXPECT_EQ(pixelOf(menuGrab, QPoint(0, 0)), slotRgb(20)) << "menu frame";
    EXPECT_EQ(pixelOf(menuGrab, QPoint(2, menuGrab.height() - 2)), slotRgb(4)) << "menu colour";
    EXPECT_EQ(lightPixels(menuGrab), 0);
}

TEST_F(SkinnedWindows, MessageBoxesAndTheOptionsDialogAreDark)
{
    makeSource(16, 16);
    openWindow();
    const std::unique_ptr<QMessageBox> box
        = buildMessageBox({window, QStringLiteral("The plug-in did not end normally last time."),
            QStringLiteral("Warning"), BoxButtons::Ok, true});
    box->show();
    const QImage boxGrab = grabOf(box.get(), "skinnedWarning");
    const QPushButton* ok = box->findChild<QPushButton*>();
    ASSERT_TRUE(ok);
    EXPECT_EQ(pixelOf(boxGrab, QPoint(2, 2)), slotRgb(15));
    EXPECT_EQ(pixelOf(boxGrab, rectIn(ok, box.get()).topLeft() + QPoint(5, 4)), slotRgb(15));
    EXPECT_EQ(brightest(boxGrab, boxGrab.rect()), slotRgb(18));
    EXPECT_EQ(lightPixels(boxGrab), 0);

    QImage dialogGrab;
    QRect list;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        dialogGrab = grabOf(dialog, "skinnedOptions");
        list = rectIn(dialog->findChild<QComboBox*>(), dialog);
        static_cast<QDialog*>(dialog)->reject();
    });
    Settings settings = loadSettings(paths);
    runOptionsDialog(window, &settings, paths);
    ASSERT_FALSE(dialogGrab.isNull());
    EXPECT_EQ(pixelOf(dialogGrab, QPoint(2, 2)), slotRgb(15));
    EXPECT_EQ(pixelOf(dialogGrab, list.topLeft() + QPoint(4, 4)), slotRgb(5)) << "language list";
    EXPECT_EQ(lightPixels(dialogGrab), 0);
}

} // namespace
