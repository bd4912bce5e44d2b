#pragma once

// A main window on a test image, with the settings and language files in a temporary folder and
// every message box answered by the test instead of shown.

#include "image/ownedImage.h"
#include "locale/localePaths.h"
#include "panel/messageBox.h"
#include "tests/support/temporaryFolder.h"
#include "window/mainWindow.h"

#include <QPointer>
#include <QString>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// The boxes shown since the fixture started, and the answer to questions.
struct BoxLog {
    std::vector<BoxRequest> boxes;
    BoxAnswer answer = BoxAnswer::No;
};
extern BoxLog boxLog;

class WindowFixture : public testing::Test {
protected:
    WindowFixture();
    ~WindowFixture() override;

    // An image of `width` x `height`, 3 channels, 8 bits, with a pattern in it.
    void makeSource(int width, int height);
    // Creates the window on the source image, shows it at `size` and sends the first display.
    void openWindow(QSize size = QSize(900, 600));
    // Closes the window as the close box does; the window is gone afterwards.
    void closeWindow();

    void writeSettingsFile(const std::string& text);
    std::string settingsText() const;
    // The canvas's blue, green, red at device pixel (x, y).
    std::vector<int> canvasAt(int x, int y) const;

    TemporaryFolder folder;
    LocalePaths paths;
    OwnedImage source;
    OwnedImage mask;
    QPointer<MainWindow> window;
    MessageBoxHook previousHook;
};
