// The deblur panel's Auto buttons: the blur estimated from the photo. Out of focus, the level of
// details from the preview rectangle's area (the whole image when Preview is off); in motion
// mode, a straight line of two points in the middle of the view, editable as any line. Each says
// in the status bar what it found and how sure it is; when unsure, the default level stands and
// no line is drawn. An estimate takes a fraction of a preview's time, so it runs here.

#include "panel/deblurPanel.h"

#include "engine/blurEstimate.h"
#include "panel/detailSlider.h"
#include "panel/devicePixels.h"
#include "panel/interfaceText.h"
#include "panel/pointerEdits.h"

#include <QCheckBox>
#include <QLabel>
#include <cmath>

namespace {

QString percent(double confidence)
{
    return QString::number(std::lround(confidence * 100));
}

} // namespace

void DeblurPanel::estimateDetail()
{
    if (!editable() || motion || importedKernel)
        return;
    ImageRect region {};
    if (const std::optional<ImageRect> shown = shownPreviewRect())
        region = *shown;
    const DefocusEstimate found = estimateDefocusLevel(host.input, region);
    const bool sure = found.status == BlurEstimateStatus::Found;
    const int level = sure ? found.detail : DefaultDetail;
    detail->setValue(level);
    detailShown = detail->value();
    detailValue->setText(QString::number(detailShown));
    emit estimateReported(sure
            ? interfaceText(StringEstimatedDetail).arg(level).arg(percent(found.confidence))
            : interfaceText(StringEstimateUnsure));
    requestPreview();
}

void DeblurPanel::estimateShakeLine()
{
    if (!editable() || !motion || importedKernel)
        return;
    const ShakeEstimate found = estimateShake(host.input, {});
    if (found.status != BlurEstimateStatus::Found) {
        emit estimateReported(interfaceText(StringEstimateUnsure));
        return;
    }
    // The line's middle goes to the middle of the view, where the user looks.
    const ImageSize view = deviceSizeOf(host.surface);
    double centreX = 0;
    double centreY = 0;
    windowToImage(transform(), view.width / 2, view.height / 2, &centreX, &centreY);
    const double dx = (found.to.x - found.from.x) / 2;
    const double dy = (found.to.y - found.from.y) / 2;
    points = {{centreX - dx, centreY - dy, 0}, {centreX + dx, centreY + dy, 0}};
    edits->reset();
    emit overlayChanged();
    emit estimateReported(interfaceText(StringEstimatedShake)
                              .arg(QString::number(found.length, 'f', 1))
                              .arg(QString::number(found.angle, 'f', 0))
                              .arg(percent(found.confidence)));
    requestPreview();
}
