// The deblur panel's preview: the rectangle placed when Preview is turned on, the requests to
// the preview thread (each with its own copy of what it reads) and their results pasted into
// the shown image.

#include "panel/deblurPanel.h"

#include "panel/devicePixels.h"
#include "panel/pointerEdits.h"
#include "panel/previewWorker.h"

#include <QCheckBox>
#include <algorithm>
#include <cmath>

void DeblurPanel::previewToggled(bool on)
{
    if (on) {
        // The centre of the view.
        const ImageSize view = deviceSizeOf(host.surface);
        double imageX = 0;
        double imageY = 0;
        windowToImage(transform(), view.width / 2, view.height / 2, &imageX, &imageY);
        preview = centredPreviewRect(saturatingTruncate(std::floor(imageX + 0.5)),
            saturatingTruncate(std::floor(imageY + 0.5)), imageSize());
        previewAttached = true;
        emit overlayChanged();
        requestPreview();
    } else {
        previewAttached = false;
        cancelPreview();
        showUnprocessed();
    }
    edits->reset();
}

void DeblurPanel::requestPreview()
{
    // After the job's result has come, the panel only closes: nothing may replace the result.
    if (!previewShown() || running || hostClosing || resultReady)
        return;
    DeblurChoices current = currentChoices();
    if (checkChoices(current) != DeblurFailure::None || !previewRectUsable(preview.rect)) {
        // Nothing to deblur: the unprocessed image, and no preview still on its way.
        cancelPreview();
        showUnprocessed();
        return;
    }
    const ImageRect& rect = preview.rect;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    auto area = std::make_shared<OwnedImage>(
        width, height, host.input->channels, host.input->bitsPerChannel);
    if (!(*area)->data)
        return;
    cropImage(area->get(), host.input, rect);
    PreviewJob request {std::move(current), std::move(area), rect, ++previewSerial};
    previewThread->render(std::move(request));
}

void DeblurPanel::cancelPreview()
{
    ++previewSerial;
    previewThread->cancel();
}

void DeblurPanel::previewFinished(std::shared_ptr<const PreviewOutcome> outcome)
{
    if (outcome->serial != previewSerial || !previewShown() || running || hostClosing
        || resultReady)
        return;
    if (outcome->status == PreviewOutcome::KernelFailed) {
        warnKernel(); // the panel may be gone afterwards: nothing follows
        return;
    }
    // The area outside the rectangle, and a preview that could not run, show the input: only the
    // last preview's rectangle and the new one change.
    if (outcome->status != PreviewOutcome::Done) {
        showUnprocessed();
        return;
    }
    const std::optional<ImageRect> before = dropPreviewPixels();
    const ImageRect& rect = outcome->rect;
    copyImageRect(host.result, outcome->area->get(), {rect.left, rect.top}, {0, 0},
        {rect.right - rect.left, rect.bottom - rect.top});
    previewShownAt = rect;
    ImageRect changed = rect;
    if (before)
        changed = {std::min(before->left, rect.left), std::min(before->top, rect.top),
            std::max(before->right, rect.right), std::max(before->bottom, rect.bottom)};
    emit resultAreaChanged(changed);
}
