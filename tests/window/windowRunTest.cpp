#include "tests/window/windowFixture.h"

#include "panel/jobWorker.h"
#include "tests/support/testImages.h"
#include "window/commands.h"
#include "window/imageViewWidget.h"
#include "window/runMainWindow.h"
#include "window/toolbar.h"
#include "window/toolbarPictures.h"

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <atomic>
#include <cstdlib>
#include <thread>

namespace {

using WindowRun = WindowFixture;

QColor pixelAt(const QImage& image, QPointF logical)
{
    const double ratio = image.devicePixelRatio();
    return image.pixelColor(int(logical.x() * ratio), int(logical.y() * ratio));
}

// The window as the user sees it: the dark workspace around the image, the image at the initial
// fit, and the toolbar's pictures. MORVANCLARITY_GRAB_FOLDER keeps the grab for a look.
TEST_F(WindowRun, TheGrabShowsTheImageOnTheDarkWorkspaceUnderTheToolbar)
{
    makeSource(400, 300);
    fillImage(source.get(), 200);
    fillImageRect(source.get(), {0, 0, 200, 150}, 20); // a dark quarter at the top left
    openWindow(QSize(1000, 700));
    const QImage grab = window->grab().toImage();
    if (const char* keep = std::getenv("MORVANCLARITY_GRAB_FOLDER"))
        grab.save(QString::fromLocal8Bit(keep) + QStringLiteral("/mainWindow.png"));

    const ViewState& state = window->viewState();
    const double ratio = grab.devicePixelRatio();
    const QPointF viewCorner = window->view()->mapTo(window, QPoint(0, 0));
    auto onScreen = [&](double imageX, double imageY) {
        return viewCorner
            + QPointF((state.viewCenterX + (imageX - state.imageCenterX) * state.zoom) / ratio,
                (state.viewCenterY + (imageY - state.imageCenterY) * state.zoom) / ratio);
    };
    EXPECT_EQ(pixelAt(grab, onScreen(300, 225)), QColor(200, 200, 200));
    EXPECT_EQ(pixelAt(grab, onScreen(100, 75)), QColor(20, 20, 20));
    // Below the image, inside the view area: the dark background.
    const QPointF below = onScreen(200, 300) + QPointF(0, 20);
    ASSERT_LT(below.y(), window->height() - 20);
    EXPECT_EQ(pixelAt(grab, below), QColor(48, 48, 48));
    // The image's edges sit where the fit puts them (the margin of two pixels at the sides).
    EXPECT_EQ(pixelAt(grab, onScreen(2, 75)), QColor(20, 20, 20));
    EXPECT_EQ(pixelAt(grab, onScreen(0, 150) - QPointF(2, 0)), QColor(48, 48, 48));

    // The toolbar buttons carry their pictures: the zoom-in picture's own pixels.
    bool alphaRemoved = true;
    const QImage picture = bitmapFromPngResource(QStringLiteral("IDP_ZOOMIN"), &alphaRemoved);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(32, 32));
    EXPECT_FALSE(alphaRemoved);
    const QToolButton* zoomIn = window->toolbar()->button(ZoomInCommand);
    const QRect button(zoomIn->mapTo(window.data(), QPoint(0, 0)), zoomIn->size());
    int distinct = 0;
    const QColor face = pixelAt(grab, button.topLeft() + QPoint(1, 1));
    for (int y = button.top(); y <= button.bottom(); ++y)
        for (int x = button.left(); x <= button.right(); ++x)
            distinct += pixelAt(grab, QPointF(x, y)) != face;
    EXPECT_GT(distinct, 100);
    EXPECT_EQ(zoomIn->accessibleName(), QStringLiteral("Zoom In (+)"));
    EXPECT_EQ(window->toolbar()->button(MenuCommand)->accessibleName(), QStringLiteral("Menu"));
}

TEST(ToolbarPictures, GreyCopiesAndTheLowColourFallbackFollowTheirFormulas)
{
    QImage picture(2, 1, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(255, 0, 0, 99));
    picture.setPixel(1, 0, qRgba(10, 200, 30, 127));
    const QImage grey = greyCopy(picture);
    // 120 + 0.43 x (0.3 x 255) = 152.895 -> 152, less 70; alpha 99 halved.
    EXPECT_EQ(grey.pixel(0, 0), qRgba(82, 82, 82, 49));
    const int v = int(120 + 0.43 * (0.3 * 10 + 0.5 * 200 + 0.2 * 30)) - 70;
    EXPECT_EQ(grey.pixel(1, 0), qRgba(v, v, v, 127));

    bool alphaRemoved = false;
    const QImage opaque = pictureForScreenDepth(picture, 16, &alphaRemoved);
    EXPECT_TRUE(alphaRemoved);
    EXPECT_EQ(opaque.pixel(0, 0), qRgb(192, 192, 192)); // alpha 99: the fallback grey
    EXPECT_EQ(opaque.pixel(1, 0), qRgb(10, 200, 30)); // alpha 127 keeps its colour
    EXPECT_EQ(pictureForScreenDepth(picture, 32, &alphaRemoved), picture);
    EXPECT_FALSE(alphaRemoved);
}

// Two Starts in one process, each with its window run to its close; the host's window is
// disabled while the plug-in's window is up.
TEST_F(WindowRun, TwoRunsInOneProcessEachHandTheImageBack)
{
    makeSource(50, 40);
    const std::vector<std::uint8_t> original = imageBytes(source.get());
    QWidget host;
    host.show();
    for (int run = 0; run < 2; ++run) {
        bool hostDisabled = false;
        bool maximised = false;
        bool transient = false;
        QRect restored;
        QString title;
        QTimer::singleShot(0, [&] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (auto* main = qobject_cast<QWidget*>(top);
                    main && main != &host && main->isVisible()) {
                    title = main->windowTitle();
                    hostDisabled = !host.isEnabled();
                    maximised = main->isMaximized();
                    restored = main->normalGeometry();
                    transient = main->windowHandle()->transientParent() == host.windowHandle();
                    main->close();
                }
            }
        });
        ASSERT_FALSE(runMainWindowOn({source.get(), mask.get()}, &host, paths)) << run;
        EXPECT_EQ(title, QStringLiteral("Tarnwick - Morvanclarity plug-in"));
        EXPECT_TRUE(hostDisabled);
        // Maximised; restored, 80 % of the screen, centred: its title bar stays on the screen.
        EXPECT_TRUE(maximised);
        const QRect screen = host.screen()->availableGeometry();
        EXPECT_EQ(restored, MainWindow::restoredGeometry(screen));
        EXPECT_TRUE(screen.contains(restored));
        EXPECT_GT(restored.top(), screen.top());
        EXPECT_TRUE(transient);
        EXPECT_TRUE(host.isEnabled());
        EXPECT_EQ(imageBytes(source.get()), original);
    }
    EXPECT_NE(settingsText().find("Crashed Last Time=0"), std::string::npos);
}

// Closing mid-job stops the worker before anything it uses is freed, and hands back the
// unprocessed image rather than a half-written result.
TEST_F(WindowRun, ClosingDuringAJobWaitsForItAndHandsBackTheInput)
{
    makeSource(60, 40);
    const std::vector<std::uint8_t> original = imageBytes(source.get());
    openWindow();
    QTest::mouseClick(window->toolbar()->button(FocusCorrectionCommand), Qt::LeftButton);
    std::atomic<int> steps {0};
    window->panel()->jobWorker()->setRunner(
        [&steps](ImageBuffer* result, const FullJob&, const ProgressSink&, AbortToken abort) {
            while (!abort.requested()) {
                fillImage(result, 9);
                ++steps;
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            return JobOutcome::Aborted;
        });
    window->panel()->pressOk();
    while (steps < 3)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    closeWindow();
    EXPECT_EQ(imageBytes(source.get()), original);
}

// A panorama beyond the resamplers' fixed-point range is shown (from a reduced copy).
TEST_F(WindowRun, APanoramaWiderThanTheFixedPointRangeIsShown)
{
    makeSource(40000, 40);
    fillImage(source.get(), 180);
    openWindow(QSize(1000, 600));
    const ViewState& state = window->viewState();
    EXPECT_EQ(canvasAt(int(state.viewCenterX), int(state.viewCenterY)),
        (std::vector<int> {180, 180, 180}));
}

} // namespace
