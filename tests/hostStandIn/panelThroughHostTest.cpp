// The interactive filter from the host's Start to the written-back result: the host stand-in
// runs the module in this process while a script works the window and the panel as a user
// would; the host must get exactly the pixels the batch tool makes from the same choices.

#include "hostSide/filterModule.h"
#include "hostSide/hostSession.h"
#include "hostStandIn/imageFile.h"
#include "hostStandIn/windowCloser.h"
#include "tests/support/scopedEnvironment.h"
#include "tests/support/shownFilterWindow.h"
#include "tests/support/temporaryFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

template <class Control> Control* child(QWidget* parent, const char* name)
{
    return parent ? parent->findChild<Control*>(QString::fromLatin1(name)) : nullptr;
}

// Works the window one step at a time, each once the window is ready for it: open the
// out-of-focus panel, set the level of details to 16 and the power to High, look at a preview,
// press OK, and once the panel has closed itself with the result, close the window.
class UserScript {
public:
    UserScript()
    {
        timer.setInterval(30);
        QObject::connect(&timer, &QTimer::timeout, [this] { step(); });
        timer.start();
    }
    int stepsDone = 0;

private:
    void step()
    {
        QWidget* window = shownFilterWindow();
        QWidget* panel = child<QWidget>(window, "deblurPanel");
        switch (stepsDone) {
        case 0: {
            auto* zoomBox = child<QWidget>(window, "zoomBox32810");
            if (!zoomBox || !zoomBox->isEnabled())
                return; // not shown yet
            child<QToolButton>(window, "button32805")->click();
            break;
        }
        case 1: {
            if (!panel)
                return;
            auto* detail = child<QSlider>(panel, "control1072");
            QTest::keyClick(detail, Qt::Key_Right);
            QTest::keyClick(detail, Qt::Key_Right);
            auto* power = child<QComboBox>(panel, "control1084");
            power->setCurrentIndex(2);
            emit power->activated(2);
            QTest::mouseClick(child<QCheckBox>(panel, "control1088"), Qt::LeftButton);
            break;
        }
        case 2:
            QTest::mouseClick(child<QPushButton>(panel, "control1"), Qt::LeftButton);
            break;
        case 3:
            if (panel)
                return; // the job runs
            window->close();
            timer.stop();
            break;
        default:
            return;
        }
        ++stepsDone;
    }

    QTimer timer;
};

TEST(PanelThroughHost, TheHostGetsTheBatchToolsPixels)
{
    TemporaryFolder folder;
    ScopedEnvironment environment("XDG_CONFIG_HOME", folder.path().c_str());
    const std::string input = folder.file("photo.png");
    ASSERT_TRUE(QImage(QStringLiteral(MORVANCLARITY_SAMPLE))
                    .copy(100, 80, 260, 200)
                    .save(QString::fromStdString(input)));

    HostImage image;
    std::string error;
    ASSERT_FALSE(readImageFile(input, &image, &error)) << error;
    ASSERT_FALSE(closeWindowsAfter(120000)); // a stuck script fails the test instead of hanging
    FilterModule module;
    ASSERT_FALSE(loadFilterModule(MODULE_PATH, &module, &error)) << error;
    HostSession session;
    openSession(&session, module.entry, &image);
    UserScript script;
    EXPECT_EQ(runFilter(&session, RunOptions {}), noErr);
    EXPECT_EQ(script.stepsDone, 4);
    closeSession(&session);
    unloadFilterModule(&module);
    endWindowCloser();

    const std::string output = folder.file("batch.png");
    const std::string command = "XDG_CONFIG_HOME=" + folder.path() + " " + MORVANCLARITY_TOOL
        + " deblur " + input + " " + output + " --detail 16 --power high --quiet";
    ASSERT_EQ(std::system(command.c_str()), 0);
    HostImage batch;
    ASSERT_FALSE(readImageFile(output, &batch, &error)) << error;
    HostImage original;
    ASSERT_FALSE(readImageFile(input, &original, &error)) << error;
    EXPECT_NE(batch.pixels, original.pixels);
    EXPECT_EQ(image.pixels, batch.pixels);
}

} // namespace
