#pragma once

// The deblur panel: the side panel (in the main window's docker) that gathers the parameters of
// an out-of-focus or motion correction, shows a live preview in a 300 x 300 rectangle of the
// image, lets the user draw the motion line on the image, checks that the job fits in memory,
// and starts, watches and ends the full job.
//
// The panel owns its state: the choices, the motion line, the imported kernel, the preview
// rectangle. Previews and the full job run on threads of their own, each on a copy of what it
// reads taken when it starts, and hand their results back through queued signals; the panel's
// code runs on the user-interface thread only. The mouse over the image reaches the panel's
// PointerEdits (an event filter on the window's view), which takes the events it uses.

#include "choices/deblurChoices.h"
#include "image/imageBuffer.h"
#include "image/ownedImage.h"
#include "panel/motionLine.h"
#include "panel/previewRect.h"
#include "view/imageView.h"
#include "view/viewTransform.h"

#include <QWidget>
#include <memory>
#include <optional>
#include <span>

class DetailSlider;
class EstimateWorker;
class JobWorker;
class PointerEdits;
class PreviewWorker;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
struct EstimateOutcome;
struct JobOutcome;
struct PreviewOutcome;

// What the panel works on, given by the main window at creation.
struct PanelView {
    QWidget* surface; // the widget that shows the image; view geometry is in its device pixels
    const ImageBuffer* input; // the unprocessed image
    ImageBuffer* result; // what the view shows: the preview or the job's result
    ImageView* view; // the view record, for the motion points' screen positions
    const ViewState* state; // how the view shows the image
};

// The panel's choices as they persist between runs (the settings file's values).
struct PanelChoices {
    int method = DefaultMethod;
    int power = DefaultPower;
    int noise = DefaultNoise;
};

// The panel's controls, by the ids that stay their object names ("control1072").
enum PanelControl {
    OkControl = 1,
    CancelControl = 2,
    DetailTrackbar = 1072,
    DetailValue = 1073,
    DetailLabel = 1076,
    ProgressControl = 1079,
    AbortControl = 1080,
    NoiseCombo = 1082,
    MotionHint = 1083,
    PowerCombo = 1084,
    PreviewCheck = 1088,
    ImportControl = 1089,
    DropKernelControl = 1090,
    PowerLabel = 1093,
    NoiseLabel = 1094,
    MethodCombo = 1095,
    MemoryWarning = 1096,
    AutoDetailControl = 1097,
    AutoShakeControl = 1098,
    MethodLabel = -1,
};

class DeblurPanel : public QWidget {
    Q_OBJECT

public:
    // Creates the panel for a motion or out-of-focus correction with the stored choices: the
    // view shows the unprocessed image.
    DeblurPanel(
        const PanelView& view, bool motionMode, const PanelChoices& choices, QWidget* docker);
    // Ends a running preview and job first (the job is aborted and waited for).
    ~DeblurPanel() override;

    // The panel's size for the current interface texts: the design's size in the dialog units
    // of its font, grown where a text needs more room. Both modes have this size.
    static QSize panelSize();

    QWidget* control(int id) const;
    bool motionMode() const { return motion; }
    bool jobRunning() const { return running; }
    // The choices on the controls, as the settings keep them.
    PanelChoices choices() const;
    // What the view draws over the image.
    std::span<const MotionPoint> motionLine() const { return points; }
    bool lineHidden() const { return importedKernel != nullptr; }
    std::optional<ImageRect> shownPreviewRect() const;
    const PreviewRect& previewRect() const { return preview; }
    PointerEdits* pointerEdits() const { return edits; }
    JobWorker* jobWorker() const { return job; }
    PreviewWorker* previewWorker() const { return previewThread; }
    EstimateWorker* estimateWorker() const { return estimates; }

    // The main window is closing: a running job is aborted and waited for, and its completion
    // only lets the worker end, with no preview, render or message box after it. Without a
    // finished job the result is left without the preview: a preview is never a result.
    void windowClosing();

signals:
    // The motion line or the preview rectangle moved: the view redraws from its copy.
    void overlayChanged();
    // The result image's pixels changed: the view rebuilds its copy and redraws.
    void resultChanged();
    // The result image's pixels changed inside `area` only (a preview came or went).
    void resultAreaChanged(ImageRect area);
    // The full job starts with these choices: they are kept for the next run.
    void choicesUsed(const PanelChoices& choices);
    // The full job's result is in the result image and stays there when the panel closes.
    void resultKept();
    // The panel has left the docker (OK after the job, or Cancel); it is deleted later.
    void closed();
    // A sentence for the status bar: what the Auto button found, and how sure it is.
    void estimateReported(const QString& text);

public slots:
    void pressOk();
    void pressCancel();
    // Cancel while editing, Abort while the job runs: the Esc key.
    void escape();
    // Runs a preview of the current state (when Preview is on), replacing any that computes.
    void requestPreview();

private slots:
    void choicesChanged();
    void detailAction(int action);
    void detailReleased();
    void previewToggled(bool on);
    void importKernel();
    void dropImportedKernel();
    // The Auto buttons: the level of details, or a straight motion line, from the photo.
    void requestEstimate();
    void estimateFinished(std::shared_ptr<const EstimateOutcome> outcome);
    void previewFinished(std::shared_ptr<const PreviewOutcome> outcome);
    void jobFinished(std::shared_ptr<const JobOutcome> outcome);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    friend class PointerEdits;

    void createControls();
    void initialise(const PanelChoices& stored);
    void checkMemory();
    void setParameterControlsEnabled(bool enabled);
    void setKernelChoice(bool imported);
    void enableNoiseChoice(bool enabled);
    void showUnprocessed();
    // Puts the input's pixels back where a preview is shown; the area, or none.
    std::optional<ImageRect> dropPreviewPixels();
    // Drops the preview that waits or computes: its result, even one already on its way, is
    // not shown.
    void cancelPreview();
    // Drops the estimate that computes: its outcome is not applied.
    void cancelEstimate();
    // The choices on the controls, the line and the imported kernel, as a run takes them.
    DeblurChoices currentChoices() const;
    void startJob();
    void returnToEditing();
    // Back to editing after a job without a result; `warning` (a string key, 0 for none) says
    // why it failed.
    void jobAborted(int warning);
    void close(bool keepResult);
    void warnKernel();
    bool editable() const;

    // Mouse edits (PointerEdits calls these).
    ImageSize imageSize() const;
    ViewTransform transform() const;
    std::span<const ScreenPoint> screenPoints();
    bool previewShown() const;

    PanelView host;
    const bool motion; // a motion correction, else out of focus
    int detailShown = DefaultDetail; // the level of details the label shows
    MotionLine points;
    std::shared_ptr<const OwnedImage> importedKernel;
    PreviewRect preview;
    bool previewAttached = false;
    // Where the result shows a preview; elsewhere it holds the input's pixels once
    // resultHoldsInput is set (it is not known to before the first showUnprocessed).
    std::optional<ImageRect> previewShownAt;
    bool resultHoldsInput = false;
    bool running = false; // the full job runs
    bool resultReady = false; // the full job has finished with a result
    bool closing = false; // OK or Cancel is handled: nothing is edited any more
    bool hostClosing = false;
    PanelChoices seenChoices {-1, -1, -1}; // the combo selections last acted on
    std::uint64_t previewSerial = 0; // of the newest preview asked for
    std::uint64_t estimateSerial = 0; // of the newest estimate asked for

    PreviewWorker* previewThread = nullptr;
    EstimateWorker* estimates = nullptr;
    JobWorker* job = nullptr;
    PointerEdits* edits = nullptr;

    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QLabel* motionHint = nullptr;
    QLabel* detailLabel = nullptr;
    DetailSlider* detail = nullptr;
    QLabel* detailValue = nullptr;
    QCheckBox* previewBox = nullptr;
    QPushButton* importButton = nullptr;
    QPushButton* dropButton = nullptr;
    QPushButton* autoDetail = nullptr;
    QPushButton* autoShake = nullptr;
    QLabel* methodLabel = nullptr;
    QComboBox* method = nullptr;
    QLabel* powerLabel = nullptr;
    QComboBox* power = nullptr;
    QLabel* noiseLabel = nullptr;
    QComboBox* noise = nullptr;
    QProgressBar* progress = nullptr;
    QPushButton* abortButton = nullptr;
    QLabel* memoryWarning = nullptr;
};
