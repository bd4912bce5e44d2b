// The deblur panel's Auto buttons: the blur estimated from the photo on the estimate thread.
// Out of focus, the level of details from the preview rectangle's area (the whole image when
// Preview is off); in motion mode, a straight line of two points in the middle of the view,
// editable as any line. Each says in the status bar what it found and how sure it is; when
// unsure, the default level stands and no line is drawn. A newer request, Esc, Cancel and OK
// drop the estimate that computes.

#include "panel/deblurPanel.h"

#include "panel/detailSlider.h"
#include "panel/devicePixels.h"
#include "panel/estimateWorker.h"
#include "panel/interfaceText.h"
#include "panel/pointerEdits.h"

#include <QLabel>
#include <cmath>

namespace {

QString percent(double confidence)
{
    return QString::number(std::lround(confidence * 100));
}

} // namespace

void DeblurPanel::requestEstimate()
{
    if (!editable() || importedKernel)
        return;
    DeblurChoices asked = currentChoices();
    asked.kernelSource = KernelSource::Estimated;
    asked.points.clear();
    if (!motion) {
        if (const std::optional<ImageRect> shown = shownPreviewRect())
            asked.estimateRegion = *shown;
    }
    estimates->estimate({std::move(asked), host.input, ++estimateSerial});
}

void DeblurPanel::cancelEstimate()
{
    ++estimateSerial;
    estimates->cancel();
}

void DeblurPanel::estimateFinished(std::shared_ptr<const EstimateOutcome> outcome)
{
    if (outcome->serial != estimateSerial || !editable() || importedKernel)
        return;
    const ChoiceEstimate& found = outcome->estimate;
    if (!motion) {
        const int level = found.found() ? found.defocus.detail : DefaultDetail;
        detail->setValue(level);
        detailShown = detail->value();
        detailValue->setText(QString::number(detailShown));
        emit estimateReported(found.found() ? interfaceText(StringEstimatedDetail)
                                                  .arg(level)
                                                  .arg(percent(found.defocus.confidence))
                                            : interfaceText(StringEstimateUnsure));
        requestPreview();
        return;
    }
    if (!found.found()) {
        emit estimateReported(interfaceText(StringEstimateUnsure));
        return;
    }
    // The line's middle goes to the middle of the view, where the user looks.
    const ShakeEstimate& shake = found.shake;
    const ImageSize view = deviceSizeOf(host.surface);
    double centreX = 0;
    double centreY = 0;
    windowToImage(transform(), view.width / 2, view.height / 2, &centreX, &centreY);
    const double dx = (shake.to.x - shake.from.x) / 2;
    const double dy = (shake.to.y - shake.from.y) / 2;
    points = {{centreX - dx, centreY - dy, 0}, {centreX + dx, centreY + dy, 0}};
    edits->reset();
    emit overlayChanged();
    emit estimateReported(interfaceText(StringEstimatedShake)
                              .arg(QString::number(shake.length, 'f', 1))
                              .arg(QString::number(shake.angle, 'f', 0))
                              .arg(percent(shake.confidence)));
    requestPreview();
}
