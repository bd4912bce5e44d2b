#include "module/aboutBox.h"
#include "platform/version.h"
#include "tests/module/hostFixture.h"
#include "window/windowApplication.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <cstring>
#include <string>

namespace {

// What the box showed, read while it is open, and the URL the host was asked to open.
std::string shownText;
std::string browsedUrl;
int acquired;

void inspectAndCloseBox()
{
    QWidget* box = QApplication::activeModalWidget();
    if (!box) {
        QTimer::singleShot(10, inspectAndCloseBox);
        return;
    }
    if (auto* text = box->findChild<QLabel*>(QStringLiteral("item3")))
        shownText = text->text().toStdString();
    if (auto* link = box->findChild<QLabel*>(QStringLiteral("item4"))) {
        QMouseEvent click(QEvent::MouseButtonPress, QPointF(1, 1), link->mapToGlobal(QPointF(1, 1)),
            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(link, &click);
    }
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(box, &escape);
}

// Runs as soon as the module makes its QApplication.
void scheduleInspection()
{
    QTimer::singleShot(0, inspectAndCloseBox);
}

SPErr browseUrl(const char* url)
{
    browsedUrl = url;
    return kSPNoError;
}

PSGetFileListSuite4 fileListSuite {browseUrl};

SPErr acquireFileList(const char* name, int32 version, const void** suite)
{
    if (std::strcmp(name, kPSGetFileListSuite) != 0 || version != kPSGetFileListSuiteVersion4)
        return -1;
    ++acquired;
    *suite = &fileListSuite;
    return kSPNoError;
}

SPErr releaseFileList(const char*, int32)
{
    --acquired;
    return kSPNoError;
}

TEST(AboutBox, ShowsTheProductTextAndClosesOnEscape)
{
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    qAddPreRoutine(scheduleInspection);
    SPBasicSuite basic {acquireFileList, releaseFileList};
    PlatformData platform {nullptr};
    AboutRecord record {&platform, &basic};
    std::intptr_t slot = 0;
    int16 result = 12345;
    PluginMain(filterSelectorAbout, &record, &slot, &result);
    EXPECT_EQ(result, 12345) << "About leaves the result alone";
    EXPECT_EQ(shownText, aboutText());
    EXPECT_EQ(shownText, std::string("Morvanclarity\n\nVersion ") + MorvanclarityVersion);
    EXPECT_EQ(browsedUrl, "http://www.morvanclarity.example");
    EXPECT_EQ(acquired, 0) << "the host's suite was released";
    // The application is the windows' one, kept for the filter's later calls; the test program
    // ends it, as a host ends its process.
    EXPECT_EQ(QCoreApplication::instance(), windowApplication());
    delete QCoreApplication::instance();
    EXPECT_EQ(slot, 0);
}

} // namespace
