// The main window's close: the panel's job is aborted and waited for, the host gets the result
// (or its own pixels when a job was cut short), the panel goes, and the settings are saved.

#include "window/mainWindow.h"

#include "settings/settings.h"
#include "window/docker.h"
#include "window/imageViewWidget.h"

namespace {

bool sameGeometry(const ImageBuffer& a, const ImageBuffer& b)
{
    return a.width == b.width && a.height == b.height && a.channels == b.channels
        && a.bitsPerChannel == b.bitsPerChannel;
}

bool hasPixels(const ImageBuffer* image)
{
    return image && image->data && image->width > 0 && image->height > 0;
}

} // namespace

void MainWindow::closeSequence()
{
    closed = true;
    const bool jobWasRunning = deblurPanel && deblurPanel->jobRunning();
    if (deblurPanel)
        deblurPanel->windowClosing(); // aborts the job and waits for it
    if (canvasCreated) {
        // A job cut short by the close leaves no result: the host gets its input.
        const ImageBuffer& handBack
            = jobWasRunning ? *imageView->inputImage() : *imageView->resultImage();
        if (hasPixels(&handBack) && hasPixels(images.sourceImage)
            && sameGeometry(handBack, *images.sourceImage))
            copyImagePixels(images.sourceImage, &handBack);
    }
    // The panel goes before the view it draws on.
    if (deblurPanel) {
        dock->removeChild(deblurPanel);
        delete deblurPanel;
    }
    imageView->setOverlay({}, false, std::nullopt); // the panel's motion line is gone
    saveSettingsAtClose(settings, paths);
}
