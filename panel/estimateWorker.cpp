#include "panel/estimateWorker.h"

EstimateOutcome estimateWithEngine(const EstimateRequest& request, AbortToken abort)
{
    DeblurChoices choices = request.choices;
    return {estimateChoices(&choices, *request.image, abort), request.serial};
}

EstimateWorker::EstimateWorker(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<std::shared_ptr<const EstimateOutcome>>();
    setEstimate({});
}

EstimateWorker::~EstimateWorker() = default;

void EstimateWorker::setEstimate(Estimate body)
{
    if (!body)
        body = estimateWithEngine;
    auto compute = [body = std::move(body)](const EstimateRequest& request, AbortToken abort) {
        return std::shared_ptr<const EstimateOutcome>(
            std::make_shared<EstimateOutcome>(body(request, abort)));
    };
    if (thread)
        thread->setCompute(std::move(compute));
    else
        thread = std::make_unique<Thread>(std::move(compute),
            [this](std::shared_ptr<const EstimateOutcome> outcome) { emit finished(outcome); });
}

void EstimateWorker::estimate(EstimateRequest request)
{
    thread->submit(std::move(request));
}

void EstimateWorker::cancel()
{
    thread->cancel();
}

void EstimateWorker::stop()
{
    thread->stop();
}

bool EstimateWorker::busy() const
{
    return thread->busy();
}
