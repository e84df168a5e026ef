#include "jobs/ImportStepsImpl.h"

#include "jobs/JobMerge.h"

namespace tavrelsvc {

namespace {

// A fresh instance of the built-in steps: installing nothing puts them in
// place, and the steps installed before are put straight back.
std::shared_ptr<JobImportSteps> builtInImportSteps() {
    std::shared_ptr<JobImportSteps> before = installJobImportSteps(nullptr);
    std::shared_ptr<JobImportSteps> builtIn = installJobImportSteps(std::move(before));
    return builtIn;
}

}  // namespace

JobImportStepsImpl::JobImportStepsImpl(WatchOptions options)
    : options_(options), fallback_(builtInImportSteps()) {}

bool JobImportStepsImpl::NextMonitoredFile(clsJob& job) { return clsJob_NextMonitoredFile(job, options_); }

void JobImportStepsImpl::CloseWatch(clsJob& job) { clsJob_CloseWatch(job); }

bool JobImportStepsImpl::MergePeakLists(clsJob& job) { return clsJob_MergePeakLists(job); }

}  // namespace tavrelsvc
