#include "tests/window/windowFixture.h"

#include "engine/progress.h"
#include "locale/localisedStrings.h"
#include "panel/jobWorker.h"
#include "platform/version.h"
#include "tests/support/testImages.h"
#include "view/renderView.h"
#include "window/commands.h"
#include "window/docker.h"
#include "window/imageViewWidget.h"
#include "window/toolbar.h"
#include "window/viewNavigation.h"
#include "window/zoomControl.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <functional>

namespace {

QString text(int key)
{
    return QString::fromStdU16String(localisedString(key));
}

using MainWindowView = WindowFixture;

// The first display fits the image with its margin, below the toolbar, left of the docker.
TEST_F(MainWindowView, FirstDisplayFitsTheImageAndTellsHowToNavigate)
{
    makeSource(300, 200);
    openWindow();
    EXPECT_EQ(window->statusText(), text(22));
    EXPECT_TRUE(window->toolbar()->zoomBox()->isEnabled());
    EXPECT_FALSE(window->pendingResult());
    const ImageSize view = window->view()->deviceSize();
    const int toolbar = window->toolbar()->height();
    const ViewState expected = initialFit({300, 200}, view.width, view.height, 0);
    EXPECT_EQ(window->viewState().zoom, expected.zoom);
    EXPECT_EQ(window->viewState().viewCenterY, expected.viewCenterY);
    EXPECT_EQ(window->toolbar()->zoomBox()->currentText().toStdString(), zoomText(expected.zoom));
    // The docker is the panel's width plus one, at the right edge between the bars.
    EXPECT_EQ(window->docker()->width(), DeblurPanel::panelSize().width() + 1);
    const QPoint dockerCorner = window->docker()->mapTo(window, QPoint(0, 0));
    EXPECT_EQ(dockerCorner.x() + window->docker()->width(), window->width());
    EXPECT_EQ(dockerCorner.y(), toolbar);
    EXPECT_EQ(window->view()->mapTo(window, QPoint(0, 0)), QPoint(0, toolbar));
}

// The window manager maximises the window after the first display: the fit follows the view
// until the user moves it.
TEST_F(MainWindowView, TheFirstFitFollowsTheWindowUntilTheViewIsMoved)
{
    makeSource(300, 200);
    openWindow(QSize(600, 400));
    window->resize(1000, 700);
    const ImageSize view = window->view()->deviceSize();
    EXPECT_EQ(window->viewState().zoom, initialFit({300, 200}, view.width, view.height, 0).zoom);
    EXPECT_EQ(window->viewState().viewCenterX, view.width / 2);
    QTest::keyClick(window->view(), Qt::Key_Left);
    const ViewState moved = window->viewState();
    window->resize(900, 600);
    EXPECT_EQ(window->viewState().zoom, moved.zoom);
    EXPECT_EQ(window->viewState().viewCenterX, moved.viewCenterX);
}

TEST_F(MainWindowView, ToolbarKeysAndDoubleClickZoomAndPan)
{
    makeSource(300, 200);
    openWindow();
    QToolButton* zoom100 = window->toolbar()->button(Zoom100Command);
    QTest::mouseClick(zoom100, Qt::LeftButton);
    EXPECT_EQ(window->viewState().zoom, 1.0);
    EXPECT_EQ(window->toolbar()->zoomBox()->currentText(), QStringLiteral("100.0 %"));
    EXPECT_EQ(window->focusWidget(), window->view()) << "the keys keep working";

    QTest::keyClick(window->view(), '+');
    EXPECT_DOUBLE_EQ(window->viewState().zoom, 1.2);
    QTest::keyClick(window->view(), '-');
    EXPECT_DOUBLE_EQ(window->viewState().zoom, 1.2 * ZoomOutStep);

    const ViewState before = window->viewState();
    QTest::keyClick(window->view(), Qt::Key_Left);
    QTest::keyClick(window->view(), Qt::Key_Up);
    QTest::keyClick(window->view(), Qt::Key_Up);
    EXPECT_EQ(window->viewState().viewCenterX, before.viewCenterX - PanStep);
    EXPECT_EQ(window->viewState().viewCenterY, before.viewCenterY - 2 * PanStep);
    QTest::keyClick(window->view(), Qt::Key_Right);
    QTest::keyClick(window->view(), Qt::Key_Down);
    EXPECT_EQ(window->viewState().viewCenterX, before.viewCenterX);

    QTest::mouseClick(window->toolbar()->button(ZoomFitCommand), Qt::LeftButton);
    const ImageSize area = window->view()->deviceSize();
    const double fit = std::min(double(area.width) / 300, double(area.height) / 200);
    EXPECT_EQ(window->viewState().zoom, fit);

    QTest::mouseClick(zoom100, Qt::LeftButton);
    QTest::mouseDClick(window->view(), Qt::LeftButton, {}, QPoint(100, 300));
    EXPECT_EQ(window->viewState().zoom, fit);

    QTest::keyClick(window->view(), '/', Qt::AltModifier);
    QTest::keyClick(window->view(), '?', Qt::AltModifier);
    ASSERT_EQ(boxLog.boxes.size(), 2u);
    EXPECT_TRUE(
        boxLog.boxes[0].text.startsWith(QStringLiteral("Morvanclarity Plug-In, Version %1\n")
                                            .arg(QLatin1String(MorvanclarityVersion))));
    EXPECT_EQ(boxLog.boxes[0].caption, text(42));
}

TEST_F(MainWindowView, DoubleClickBeforeAnImageIsShownDoesNothing)
{
    openWindow(); // no source image
    QTest::mouseDClick(window->view(), Qt::LeftButton, {}, QPoint(100, 300));
    QTest::keyClick(window->view(), '+');
    EXPECT_EQ(window->viewState().zoom, 1.0);
    EXPECT_EQ(window->toolbar()->zoomBox()->currentText(), QStringLiteral("100.0 %"));
}

TEST_F(MainWindowView, TypedZoomIsTakenOnEnterAndLettersRestoreTheText)
{
    makeSource(300, 200);
    openWindow();
    QComboBox* box = window->toolbar()->zoomBox();
    QLineEdit* edit = box->lineEdit();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("150"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(window->viewState().zoom, 1.5);
    EXPECT_EQ(box->currentText(), QStringLiteral("150.0 %"));
    EXPECT_EQ(window->focusWidget(), window->view());

    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("abc"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(window->viewState().zoom, 1.5);
    EXPECT_EQ(box->currentText(), QStringLiteral("150.0 %"));

    box->setCurrentIndex(6);
    emit box->activated(6);
    EXPECT_EQ(window->viewState().zoom, 4.0);

    // The list closed without a choice gives the keys back to the view.
    box->setFocus();
    box->showPopup();
    box->hidePopup();
    EXPECT_EQ(QApplication::focusWidget(), window->view());
}

TEST_F(MainWindowView, WheelZoomsAboutTheCursorWithinItsBounds)
{
    makeSource(300, 200);
    openWindow();
    QTest::mouseClick(window->toolbar()->button(Zoom100Command), Qt::LeftButton);
    const ViewState start = window->viewState();
    const QPointF cursor(start.viewCenterX - 40, start.viewCenterY - 30);
    for (int notch = 0; notch < 20; ++notch) {
        QWheelEvent wheel(cursor, window->mapToGlobal(cursor), {}, {0, 120}, Qt::NoButton,
            Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(window->view(), &wheel);
    }
    EXPECT_EQ(window->viewState().zoom, 8.0);
    EXPECT_EQ(window->viewState().viewCenterX, cursor.x());
    EXPECT_NEAR(window->viewState().imageCenterX, start.imageCenterX - 40, 1e-9);
    for (int notch = 0; notch < 40; ++notch) {
        QWheelEvent wheel(cursor, window->mapToGlobal(cursor), {}, {0, -120}, Qt::NoButton,
            Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(window->view(), &wheel);
    }
    EXPECT_DOUBLE_EQ(window->viewState().zoom, 100.0 / 300);
}

TEST_F(MainWindowView, DragPansAndTheRightButtonComparesWithTheInput)
{
    makeSource(300, 200);
    openWindow();
    QTest::mouseClick(window->toolbar()->button(Zoom100Command), Qt::LeftButton);
    const ViewState start = window->viewState();
    const QPoint from(int(start.viewCenterX), int(start.viewCenterY));
    QTest::mousePress(window->view(), Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, from + QPoint(30, 10),
        window->mapToGlobal(from + QPoint(30, 10)), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window->view(), &move);
    QTest::mouseRelease(window->view(), Qt::LeftButton, {}, from + QPoint(30, 10));
    EXPECT_EQ(window->viewState().imageCenterX, start.imageCenterX - 30);
    EXPECT_EQ(window->viewState().imageCenterY, start.imageCenterY - 10);

    // A result different from the input: the right button shows the input while held.
    fillImage(window->view()->resultImage(), 0);
    window->view()->renderResult(true);
    const ViewState now = window->viewState();
    const int x = int(now.viewCenterX);
    const int y = int(now.viewCenterY);
    EXPECT_EQ(canvasAt(x, y), (std::vector<int> {0, 0, 0}));
    QTest::mousePress(window->view(), Qt::RightButton, {}, QPoint(x, y));
    const std::vector<int> shown = canvasAt(x, y);
    EXPECT_NE(shown, (std::vector<int> {0, 0, 0}));
    QTest::mouseRelease(window->view(), Qt::RightButton, {}, QPoint(x, y));
    EXPECT_EQ(canvasAt(x, y), (std::vector<int> {0, 0, 0}));
}

TEST_F(MainWindowView, CloseHandsTheResultBackAndLowersTheCrashFlag)
{
    makeSource(64, 48);
    const std::vector<std::uint8_t> original = imageBytes(source.get());
    openWindow();
    EXPECT_NE(settingsText().find("Crashed Last Time=1"), std::string::npos);
    closeWindow();
    EXPECT_EQ(imageBytes(source.get()), original) << "nothing applied: the host's own pixels";
    const std::string stored = settingsText();
    EXPECT_NE(stored.find("Crashed Last Time=0"), std::string::npos);
    EXPECT_NE(stored.find("method=0"), std::string::npos);
    EXPECT_NE(stored.find("power=1"), std::string::npos);
    EXPECT_NE(stored.find("noise=1"), std::string::npos);
    EXPECT_TRUE(boxLog.boxes.empty());

    openWindow();
    fillImage(window->view()->resultImage(), 77);
    window->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(sampleAt(source.get(), 10, 10, 1), 77);
}

TEST_F(MainWindowView, ACrashFlagShowsTheWarningOnce)
{
    writeSettingsFile("[General]\nCrashed Last Time=1\n");
    makeSource(16, 16);
    openWindow();
    ASSERT_EQ(boxLog.boxes.size(), 1u);
    EXPECT_EQ(boxLog.boxes[0].text, text(2));
    EXPECT_EQ(boxLog.boxes[0].caption, text(3));
    closeWindow();
    openWindow();
    EXPECT_EQ(boxLog.boxes.size(), 1u);
    closeWindow();

    writeSettingsFile("[General]\nCrashed Last Time=256\n"); // low 8 bits clear
    openWindow();
    EXPECT_EQ(boxLog.boxes.size(), 1u);
}

TEST_F(MainWindowView, APendingResultIsKeptUnlessTheUserAgreesToLeaveIt)
{
    makeSource(32, 32);
    openWindow();
    QTest::mouseClick(window->toolbar()->button(FocusCorrectionCommand), Qt::LeftButton);
    window->panel()->jobWorker()->setRunner(
        [](ImageBuffer* result, const FullJob& job, const ProgressSink&, AbortToken) {
            copyImagePixels(result, job.input);
            fillImage(result, 9);
            return JobOutcome::Done;
        });
    window->panel()->pressOk();
    for (int i = 0; i < 500 && window->panelOpen(); ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(window->pendingResult());
    EXPECT_EQ(sampleAt(window->resultImage(), 5, 5, 0), 9);

    boxLog.answer = BoxAnswer::No;
    QTest::mouseClick(window->toolbar()->button(MotionCorrectionCommand), Qt::LeftButton);
    ASSERT_EQ(boxLog.boxes.size(), 1u);
    EXPECT_EQ(boxLog.boxes[0].text, text(21));
    EXPECT_FALSE(window->motionMode());
    EXPECT_FALSE(window->panelOpen());
    EXPECT_TRUE(window->toolbar()->button(MenuCommand)->isEnabled());

    boxLog.answer = BoxAnswer::Yes;
    QTest::mouseClick(window->toolbar()->button(MotionCorrectionCommand), Qt::LeftButton);
    EXPECT_FALSE(window->pendingResult()); // given up: the panel shows the unprocessed image
    EXPECT_TRUE(window->motionMode());
    EXPECT_TRUE(window->panelOpen());
    for (int command : {FocusCorrectionCommand, MotionCorrectionCommand, MenuCommand})
        EXPECT_FALSE(window->toolbar()->button(command)->isEnabled()) << command;
    QTest::keyClick(window->view(), Qt::Key_Escape); // Esc presses Cancel
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(window->panelOpen());
    EXPECT_TRUE(window->toolbar()->button(MenuCommand)->isEnabled());
    EXPECT_EQ(imageBytes(window->resultImage()), imageBytes(window->inputImage()));
}

// Runs `action` on the modal dialog once it is up.
void onModal(std::function<void(QWidget*)> action)
{
    QTimer::singleShot(0, [action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal)
            action(modal);
    });
}

TEST_F(MainWindowView, OptionsStoresTheChosenLanguageAndCancelStoresNothing)
{
    writeFileBytes(paths.languageFile,
        "[General]\nLanguages No=2\n[0]\nLanguage=English\nAcronym=EN\n"
        "[1]\nLanguage=Deutsch\nAcronym=DE\nstring47=Neustart noetig\nstring38=Hinweis\n");
    makeSource(16, 16);
    openWindow();

    onModal([](QWidget* dialog) {
        dialog->findChild<QComboBox*>(QStringLiteral("control1081"))->setCurrentIndex(1);
        QTest::mouseClick(
            dialog->findChild<QPushButton*>(QStringLiteral("control2")), Qt::LeftButton);
    });
    window->showOptions();
    EXPECT_EQ(settingsText().find("Language Current"), std::string::npos);
    EXPECT_TRUE(boxLog.boxes.empty());

    onModal([](QWidget* dialog) {
        auto* list = dialog->findChild<QComboBox*>(QStringLiteral("control1081"));
        EXPECT_EQ(list->count(), 2);
        EXPECT_EQ(list->currentIndex(), 0);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Options"));
        EXPECT_EQ(QAccessible::queryAccessibleInterface(dialog)->role(), QAccessible::Dialog);
        list->setCurrentIndex(1);
        QTest::mouseClick(
            dialog->findChild<QPushButton*>(QStringLiteral("control1")), Qt::LeftButton);
    });
    window->showOptions();
    EXPECT_NE(settingsText().find("Language Current=1"), std::string::npos);
    ASSERT_EQ(boxLog.boxes.size(), 1u);
    EXPECT_EQ(boxLog.boxes[0].text, QStringLiteral("Neustart noetig"));
    EXPECT_EQ(boxLog.boxes[0].caption, QStringLiteral("Hinweis"));

    // OK without a change: no notice.
    onModal([](QWidget* dialog) {
        QTest::mouseClick(
            dialog->findChild<QPushButton*>(QStringLiteral("control1")), Qt::LeftButton);
    });
    window->showOptions();
    EXPECT_EQ(boxLog.boxes.size(), 1u);
}

TEST_F(MainWindowView, TheMenuIsLabelledFromTheTextsAndHoldsTheWindowsActions)
{
    makeSource(16, 16);
    openWindow();
    QMenu* menu = window->applicationMenu();
    const QList<QAction*> entries = menu->actions();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0]->text(), text(4));
    EXPECT_EQ(entries[2]->text(), text(6));
    EXPECT_EQ(entries[1]->menu()->actions()[1], window->motionCorrectionAction());
    delete menu;
    // The corrections' shortcuts open them, and their tooltips say so.
    QTest::keyClick(window->view(), Qt::Key_2, Qt::ControlModifier);
    ASSERT_TRUE(window->panelOpen());
    EXPECT_TRUE(window->motionMode());
    EXPECT_TRUE(window->toolbar()
                    ->button(MotionCorrectionCommand)
                    ->toolTip()
                    .endsWith(QStringLiteral("(Ctrl+2)")));
    EXPECT_EQ(window->toolbar()->button(MotionCorrectionCommand)->accessibleName(), text(32));
    // Hovering a button leaves the status bar's hint alone.
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(window->toolbar()->button(ZoomInCommand), &enter);
    EXPECT_TRUE(window->statusBar()->currentMessage().isEmpty());
}

// Texts from the language file are shown as they are written, never as markup (an <img> in a
// label would load whatever file it names).
TEST_F(MainWindowView, LanguageFileTextsAreShownAsPlainText)
{
    const std::string markup = "<img src=\"/dev/zero\"><b>x</b>";
    writeFileBytes(paths.languageFile,
        "[General]\nLanguages No=1\n[0]\nLanguage=English\nstring22=" + markup
            + "\nstring32=" + markup + "\nstring75=" + markup + "\nstring2=" + markup + "\n");
    writeSettingsFile("[General]\nCrashed Last Time=1\n");
    makeSource(16, 16);
    openWindow();
    QTest::mouseClick(window->toolbar()->button(FocusCorrectionCommand), Qt::LeftButton);
    const QString shown = QString::fromStdString(markup);
    EXPECT_EQ(window->statusText(), shown);
    for (QLabel* label : window->findChildren<QLabel*>())
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
    EXPECT_FALSE(window->toolbar()->button(MotionCorrectionCommand)->toolTip().contains("<img"));
    ASSERT_FALSE(boxLog.boxes.empty()); // the crash warning, in the file's words
    const std::unique_ptr<QMessageBox> warning = buildMessageBox(boxLog.boxes[0]);
    EXPECT_EQ(warning->textFormat(), Qt::PlainText);
    // Centred on the screen the window opens on, not in its corner.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((warning->geometry().center() - screen.center()).manhattanLength(), 2);
}

// Screen readers announce the main window as a frame.
TEST_F(MainWindowView, IsAWindowForScreenReadersAndRestoresOnTheScreen)
{
    makeSource(16, 16);
    openWindow();
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(window.data());
    ASSERT_TRUE(accessible);
    EXPECT_EQ(accessible->role(), QAccessible::Window);

    const QRect screen(0, 20, 1920, 1060);
    const QRect restored = MainWindow::restoredGeometry(screen);
    EXPECT_EQ(restored, QRect(192, 126, 1536, 848));
    EXPECT_TRUE(screen.contains(restored));
}

} // namespace

namespace {

// What the render draws over the image (the preview outline, the transparency) is on screen
// once after the first display: drawn twice, the outline would cancel out and the
// checkerboard would be blended in twice.
TEST_F(MainWindowView, TheFirstDisplayLeavesTheOverlaysOnScreenOnce)
{
    makeSource(100, 80);
    fillImage(source.get(), 100);
    mask = OwnedImage(100, 80, 1, 8);
    fillImage(mask.get(), 255);
    fillImageRect(mask.get(), {0, 0, 10, 10}, 128); // half transparent at the top left
    window = new MainWindow({source.get(), mask.get()}, paths, nullptr);
    window->resize(900, 600);
    window->show();
    window->view()->imageView()->previewRect = ImageRect {20, 20, 60, 60};
    window->showImage();

    const ViewState& state = window->viewState();
    auto at = [&](double imageX, double imageY) {
        return canvasAt(int(state.viewCenterX + (imageX - state.imageCenterX) * state.zoom),
            int(state.viewCenterY + (imageY - state.imageCenterY) * state.zoom));
    };
    EXPECT_EQ(at(40, 40), (std::vector<int> {100, 100, 100}));
    const ImageBuffer& canvas = window->view()->viewCanvas()->canvasPixels;
    std::int32_t x0 = 0;
    std::int32_t y0 = 0;
    imageToWindow(viewTransformFor(state), 20, 20, &x0, &y0);
    EXPECT_EQ(sampleAt(&canvas, x0, y0 + 10, 0), 255 - 100) << "the outline is drawn";
    // Half transparent: (100 x 128 + 127 x c) / 255 once, for c the checkerboard's 190 or 220.
    const int blended = at(5, 5)[0];
    EXPECT_TRUE(
        blended == (100 * 128 + 127 * 190) / 255 || blended == (100 * 128 + 127 * 220) / 255)
        << blended;
    window->view()->imageView()->previewRect.reset();
}

} // namespace
