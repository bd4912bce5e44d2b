#include "window/jobRecord.h"

namespace {

JobRunner installedRunner = nullptr;

} // namespace

void setJobRunner(JobRunner runner)
{
    installedRunner = runner;
}

JobRunner jobRunner()
{
    return installedRunner;
}
