#include "panel/jobWorker.h"

#include "choices/deblurRun.h"
#include "engine/engineSettings.h"
#include "engine/progress.h"

namespace {

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

JobOutcome::Status runEngineJob(
    ImageBuffer* result, const FullJob& job, const ProgressSink& progress, AbortToken abort)
{
    const PatientPlanning planning;
    switch (
        deblurWithChoices(job.choices, *job.input, result, RunKind::Job, progress, abort).failure) {
    case DeblurFailure::None:
        return JobOutcome::Done;
    case DeblurFailure::Aborted:
        return JobOutcome::Aborted;
    case DeblurFailure::TooFewPoints:
    case DeblurFailure::KernelNotBuilt:
        return JobOutcome::KernelFailed;
    case DeblurFailure::TooSmall:
        return JobOutcome::TooSmall;
    case DeblurFailure::KernelTooLarge:
        return JobOutcome::KernelTooLarge;
    default:
        // A job the engine could not do whole (memory ran out for the planes or for some tiles)
        // is no result: a picture partly deblurred is never handed back.
        return JobOutcome::Failed;
    }
}

JobWorker::JobWorker(QObject* parent)
    : QObject(parent)
    , runner(runEngineJob)
{
    qRegisterMetaType<std::shared_ptr<const JobOutcome>>();
}

JobWorker::~JobWorker()
{
    if (active)
        abort();
    wait();
}

void JobWorker::setRunner(Runner replacement)
{
    runner = replacement ? std::move(replacement) : Runner(runEngineJob);
}

bool JobWorker::start(FullJob job)
{
    wait(); // the previous job has signalled its end and is leaving
    clearAbort(stopJob);
    active = true;
    try {
        thread = std::thread([this, job = std::move(job), body = runner] {
            // Steps accumulate here, so that the bar only ever receives positions.
            int position = 0;
            ProgressSink progress;
            progress.setRange
                = [this](int minimum, int maximum) { emit progressRange(minimum, maximum); };
            progress.setPosition = [this, &position](int value) {
                position = value;
                emit progressChanged(position);
            };
            progress.step = [this, &position](int delta) {
                position += delta;
                emit progressChanged(position);
            };
            auto outcome = std::make_shared<JobOutcome>();
            const ImageBuffer* input = job.input;
            auto result = std::make_shared<OwnedImage>(
                input->width, input->height, input->channels, input->bitsPerChannel);
            outcome->status = (*result)->data ? body(result->get(), job, progress, &stopJob)
                                              : JobOutcome::Failed;
            if (outcome->status == JobOutcome::Done)
                outcome->result = std::move(result);
            active = false;
            emit finished(outcome);
        });
    } catch (const std::system_error&) {
        active = false;
        return true;
    }
    return false;
}

void JobWorker::abort()
{
    requestAbort(stopJob);
}

void JobWorker::wait()
{
    if (thread.joinable())
        thread.join();
}
