#include "panel/jobRecord.h"

#include "engine/abort.h"
#include "engine/engine.h"
#include "panel/jobProgressBar.h"
#include "panel/panelState.h"
#include "platform/windowMessage.h"

namespace {

JobRunner installedRunner = runFinalJob;

// The full job measures the FFT algorithms of sizes it has not met before and keeps them, as the
// batch tool does, so that both give the same pixels; previews never wait for that.
class PatientPlanning {
public:
    PatientPlanning() { setPatientFftPlanning(true); }
    ~PatientPlanning() { setPatientFftPlanning(false); }
    PatientPlanning(const PatientPlanning&) = delete;
    PatientPlanning& operator=(const PatientPlanning&) = delete;
};

} // namespace

void runFinalJob(const JobRecord& job, QObject* window)
{
    bool failed = false;
    {
        const PatientPlanning planning;
        QObject* bar = job.progress;
        ProgressSink progress;
        progress.setRange = [bar](int minimum, int maximum) {
            sendWindowMessage(bar, ProgressRangeMessage, std::uintptr_t(minimum), maximum);
        };
        progress.setPosition
            = [bar](int position) { sendWindowMessage(bar, ProgressPositionMessage, position); };
        progress.step = [bar](int delta) { sendWindowMessage(bar, ProgressDeltaMessage, delta); };
        JobReport report;
        const JobStatus status
            = runDeblurJob(job.target, job.source, deblurParams, progress, &report);
        // A job the engine could not do whole (memory ran out for the planes or for some tiles)
        // is no result: the unprocessed image is shown again and the panel says why, rather than
        // handing back a picture that is partly deblurred or still shows the last preview.
        failed = status == JobNotDone || (status == JobDone && report.tilesNotDone > 0);
        if (failed)
            copyImagePixels(job.target, job.source);
    }
    sendWindowMessage(window, RenderFreshMessage);
    if (failed)
        postWindowMessage(job.panel, JobAbortedMessage, JobFailed);
    else
        postWindowMessage(job.panel, isAbortRequested() ? JobAbortedMessage : JobFinishedMessage);
}

void setJobRunner(JobRunner runner)
{
    installedRunner = runner ? runner : runFinalJob;
}

JobRunner jobRunner()
{
    return installedRunner;
}
