#include "tests/window/windowFixture.h"

#include "skin/skinColors.h"
#include "tests/support/testImages.h"
#include "window/imageViewWidget.h"
#include "window/runMainWindow.h"
#include "window/windowApplication.h"

#include <QApplication>
#include <filesystem>

BoxLog boxLog;

namespace {

// The window code keeps its application for the next run; the test program ends it, as a host
// would at its exit, so that nothing of Qt's is left behind.
class EndApplication : public testing::Environment {
public:
    void TearDown() override { delete QCoreApplication::instance(); }
};

testing::Environment* const endApplication = testing::AddGlobalTestEnvironment(new EndApplication);

BoxAnswer answerBox(const BoxRequest& request)
{
    boxLog.boxes.push_back(request);
    return request.buttons == BoxButtons::YesNo ? boxLog.answer : BoxAnswer::Ok;
}

} // namespace

WindowFixture::WindowFixture()
{
    windowApplication();
    selectSkinScheme(DarkScheme); // as the host's Start does before the window opens
    paths.languageFile = folder.file("Morvanclarity_loc.ini");
    paths.settingsFolder = folder.file("MRVCLPhotoshopPlugIn");
    paths.settingsFile = paths.settingsFolder + "/MRVCLPhotoshopPlugIn.txt";
    boxLog = BoxLog {};
    previousHook = setMessageBoxHook(answerBox);
}

WindowFixture::~WindowFixture()
{
    delete window.data();
    setMessageBoxHook(previousHook);
    releaseSkin();
}

void WindowFixture::makeSource(int width, int height)
{
    source = OwnedImage(width, height, 3, 8);
    fillBytePattern(source.get());
}

void WindowFixture::openWindow(QSize size)
{
    window = new MainWindow({source.get(), mask.get()}, paths, nullptr);
    ASSERT_TRUE(window->created());
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->resize(size);
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window); // the window's shortcuts work in the active window
    window->showImage();
}

void WindowFixture::closeWindow()
{
    window->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(window.isNull());
}

void WindowFixture::writeSettingsFile(const std::string& text)
{
    std::filesystem::create_directories(paths.settingsFolder);
    writeFileBytes(paths.settingsFile, text);
}

std::string WindowFixture::settingsText() const
{
    return readFileBytes(paths.settingsFile);
}

std::vector<int> WindowFixture::canvasAt(int x, int y) const
{
    const ImageBuffer* pixels = &window->view()->viewCanvas()->canvasPixels;
    return {sampleAt(pixels, x, y, 0), sampleAt(pixels, x, y, 1), sampleAt(pixels, x, y, 2)};
}
