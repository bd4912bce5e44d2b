// The deblur panel's runs: the preview on this thread, the full job on the main window's worker,
// their completions, and the closing of the panel.

#include "panel/deblurPanel.h"

#include "engine/abort.h"
#include "engine/engine.h"
#include "locale/settings.h"
#include "panel/detailSlider.h"
#include "panel/interfaceText.h"
#include "panel/jobProgressBar.h"
#include "panel/jobRecord.h"
#include "panel/messageBox.h"
#include "panel/motionLine.h"
#include "panel/panelState.h"
#include "panel/previewArea.h"
#include "platform/windowMessage.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace {

// The choices in the settings record, kept while a preview runs with the panel's selections.
struct KeptChoices {
    int method;
    int power;
    int noise;
};

KeptChoices keepChoices()
{
    return {settings.method, settings.power, settings.noise};
}

void restoreChoices(const KeptChoices& kept)
{
    settings.method = kept.method;
    settings.power = kept.power;
    settings.noise = kept.noise;
}

// The engine reads its choices from deblurParams.
void takeChoicesFromSettings()
{
    deblurParams.method = settings.method;
    deblurParams.power = settings.power;
    deblurParams.noise = settings.noise;
}

} // namespace

void DeblurPanel::warnKernel()
{
    showMessageBox({this, interfaceText(StringCannotBuildKernel), interfaceText(StringWarning),
        BoxButtons::Ok, false});
}

bool DeblurPanel::buildKernel(double motionSpread)
{
    if (deblurParams.motionMode)
        return buildMotionKernel(
            &deblurParams, host.view->points, host.view->pointCount, motionSpread);
    return buildDefocusKernel(&deblurParams, defocusSpread(deblurParams.detail));
}

void DeblurPanel::runPreview()
{
    // After the job's result has come, the panel only closes: nothing may replace the result.
    if (!previewChecked() || running || hostClosing || panelState.resultReady)
        return;
    bool run = true;
    update();
    const KeptChoices kept = keepChoices();
    settings.method = method->currentIndex();
    settings.power = power->currentIndex();
    settings.noise = noise->currentIndex();
    takeChoicesFromSettings();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    deblurParams.detail = detailValue->text().toInt();

    if (deblurParams.motionMode && host.view->pointCount < 2) {
        run = deblurParams.importedKernel;
    } else if (!deblurParams.importedKernel && buildKernel(PreviewMotionSpread)) {
        QApplication::restoreOverrideCursor();
        warnKernel();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        run = false;
    }

    copyImagePixels(host.resultImage, host.inputImage);
    // A preview cut short, or of an area too small to deblur, shows the unprocessed image.
    if (run && previewAttached && previewRectUsable(preview.rect))
        (void)deblurPreviewArea(host.resultImage, host.inputImage, preview.rect, deblurParams);
    sendToWindow(RenderFreshMessage);
    QApplication::restoreOverrideCursor();
    setCursors(Qt::ArrowCursor);
    restoreChoices(kept);
    setFocus();
}

void DeblurPanel::okOrCancel(bool okPressed)
{
    if (okPressed && running)
        return; // a second OK while the job runs (a click queued before the button went grey)
    if (okPressed && deblurParams.motionMode && !deblurParams.importedKernel
        && buildMotionKernel(
            &deblurParams, host.view->points, host.view->pointCount, JobMotionSpread)) {
        warnKernel();
        sendToWindow(RenderFreshMessage);
        return;
    }
    panelState.closing = true;
    panelState.panelOpen = false;
    panelState.previewRectHover = false;

    if (panelState.resultReady) {
        close(true);
        return;
    }
    if (!okPressed) {
        close(false);
        return;
    }

    setParameterControlsEnabled(false);
    settings.power = power->currentIndex();
    settings.noise = noise->currentIndex();
    settings.method = method->currentIndex();
    takeChoicesFromSettings();
    deblurParams.detail = detail->value();
    const int shownDetail = detailValue->text().toInt();
    const bool failed = deblurParams.motionMode
        ? buildMotionKernel(
            &deblurParams, host.view->points, host.view->pointCount, JobMotionSpread)
        : buildDefocusKernel(&deblurParams, defocusSpread(shownDetail));
    if (failed) {
        if (deblurParams.motionMode)
            sendToWindow(RenderFreshMessage);
        warnKernel();
        returnToEditing();
        return;
    }
    sendToWindow(RenderPointsMessage);

    running = true;
    panelState.panelMouseMode = NoMouseDrag;
    panelState.hotPoint = -1;
    abortButton->show();
    progress->show();
    ok->setEnabled(false);
    cancel->setEnabled(false);
    progress->setRange(0, 100);
    progress->setValue(0);
    clearAbortRequest();
    postWindowMessage(host.mainWindow, StartJobMessage, 0, deblurParams.detail);
}

// Back to editing after an abort or a kernel that could not be built on OK: every control as
// the parameters allow, mouse edits and previews possible again.
void DeblurPanel::returnToEditing()
{
    panelState.closing = false;
    running = false;
    setParameterControlsEnabled(true);
    cancel->setEnabled(true);
    abortButton->hide();
    progress->hide();
    progress->setValue(0);
    checkMemory();
}

void DeblurPanel::jobFinished()
{
    if (hostClosing)
        return;
    panelState.closing = false;
    panelState.resultReady = true;
    running = false;
    host.view->previewRect = nullptr;
    previewAttached = false;
    postWindowMessage(this, CommandMessage, OkControl);
    sendToWindow(RenderFreshMessage);
    sendToWindow(JobFinishedMessage);
}

void DeblurPanel::jobAborted(bool failed)
{
    if (hostClosing)
        return;
    returnToEditing();
    sendToWindow(JobAbortedMessage);
    clearAbortRequest();
    if (failed)
        showMessageBox({this, interfaceText(StringTooLargeTryCrop), interfaceText(StringWarning),
            BoxButtons::Ok, false});
    sendWindowMessage(this, PreviewMessage);
    setFocus();
}

// The panel leaves the docker: with the job's result kept in the view, or (Cancel) with the
// unprocessed image shown again.
void DeblurPanel::close(bool keepResult)
{
    host.mainWindow->setFocus();
    releaseView();
    panelState.hotPoint = -1;
    panelState.panelMouseMode = NoMouseDrag;
    hide();
    if (host.closed)
        host.closed();
    if (keepResult)
        sendToWindow(RenderFreshMessage);
    else
        showUnprocessed();
    deleteLater();
}
