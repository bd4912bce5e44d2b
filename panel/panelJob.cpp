// The deblur panel's full job and its ending: OK and Cancel, the job's start on its worker, its
// completion or abort, and the closing of the panel.

#include "panel/deblurPanel.h"

#include "panel/estimateWorker.h"
#include "panel/interfaceText.h"
#include "panel/jobWorker.h"
#include "panel/messageBox.h"
#include "panel/pointerEdits.h"
#include "panel/previewWorker.h"

#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

void DeblurPanel::warnKernel()
{
    showMessageBox({this, interfaceText(StringCannotBuildKernel), interfaceText(StringWarning),
        BoxButtons::Ok, false});
}

void DeblurPanel::escape()
{
    if (running)
        job->abort();
    else if (estimates->busy())
        cancelEstimate();
    else if (cancel->isEnabled())
        pressCancel();
}

void DeblurPanel::pressCancel()
{
    if (running || closing)
        return;
    close(resultReady);
}

void DeblurPanel::pressOk()
{
    if (running || closing || !ok->isEnabled())
        return; // a second OK while the job runs (a click queued before the button went grey)
    if (resultReady) {
        close(true);
        return;
    }
    startJob();
}

void DeblurPanel::startJob()
{
    // Choices that cannot give a kernel (a motion line of one point) are told at once; the job
    // builds its kernel itself, on its thread: a long motion line takes seconds.
    DeblurChoices current = currentChoices();
    if (checkChoices(current) != DeblurFailure::None) {
        const QPointer<DeblurPanel> alive(this);
        warnKernel();
        if (alive)
            requestPreview(); // editing goes on: mouse edits and previews still work
        return;
    }
    cancelPreview(); // of no use any more
    cancelEstimate();
    setParameterControlsEnabled(false);
    edits->reset();
    running = true;
    abortButton->show();
    progress->show();
    ok->setEnabled(false);
    cancel->setEnabled(false);
    progress->setRange(0, 100);
    progress->setValue(0);
    emit overlayChanged();
    emit choicesUsed(choices());
    if (job->start({std::move(current), host.input}))
        jobAborted(StringTooLargeTryCrop); // no thread for the job
}

// Back to editing after an abort: every control as the parameters allow, mouse edits and
// previews possible again.
void DeblurPanel::returnToEditing()
{
    running = false;
    setParameterControlsEnabled(true);
    cancel->setEnabled(true);
    abortButton->hide();
    progress->hide();
    progress->setValue(0);
    checkMemory();
}

void DeblurPanel::jobFinished(std::shared_ptr<const JobOutcome> outcome)
{
    if (hostClosing)
        return;
    job->wait(); // it has signalled its end and is leaving
    switch (outcome->status) {
    case JobOutcome::Done:
        break;
    case JobOutcome::Aborted:
        jobAborted(0);
        return;
    case JobOutcome::KernelFailed:
        jobAborted(StringCannotBuildKernel);
        return;
    case JobOutcome::TooSmall:
        jobAborted(StringImageTooSmall);
        return;
    case JobOutcome::KernelTooLarge:
        jobAborted(StringKernelTooLarge);
        return;
    case JobOutcome::Failed:
        jobAborted(StringTooLargeTryCrop); // memory: for the planes, or for some tiles
        return;
    }
    running = false;
    resultReady = true;
    previewAttached = false;
    previewShownAt.reset();
    resultHoldsInput = false;
    copyImagePixels(host.result, outcome->result->get());
    emit overlayChanged();
    emit resultChanged();
    emit resultKept();
    // The panel closes once this completion is handled, as if OK were pressed again.
    QTimer::singleShot(0, this, [this] { close(true); });
}

void DeblurPanel::jobAborted(int warning)
{
    returnToEditing();
    if (warning != 0) {
        const QPointer<DeblurPanel> alive(this);
        showMessageBox(
            {this, interfaceText(warning), interfaceText(StringWarning), BoxButtons::Ok, false});
        if (!alive)
            return; // the window closed while the box was up
    }
    // Editing goes on from the preview of the current state, or the unprocessed image.
    if (previewShown())
        requestPreview();
    else
        showUnprocessed();
}

void DeblurPanel::windowClosing()
{
    hostClosing = true;
    cancelPreview();
    estimates->stop(); // it reads the input, which the window is about to release
    if (running) {
        job->abort();
        job->wait();
    }
    // A preview is never a result: what the window hands back carries none of it.
    if (!resultReady)
        (void)dropPreviewPixels();
}

// The panel leaves the docker: with the job's result kept in the view, or (Cancel) with the
// unprocessed image shown again.
void DeblurPanel::close(bool keepResult)
{
    if (closing)
        return;
    closing = true;
    cancelPreview();
    cancelEstimate();
    edits->reset();
    previewAttached = false;
    points.clear();
    hide();
    emit overlayChanged();
    if (!keepResult)
        showUnprocessed();
    emit closed();
    deleteLater();
}
