#pragma once
// The conversion steps the service installs at start-up: watched folders and
// the merging of peak lists are built here; every other step is handed to
// the built-in defaults, which report that it is not available and pause.
#include "jobs/JobSteps.h"
#include "jobs/JobWatchedFolders.h"

#include <memory>

namespace tavrelsvc {

class JobImportStepsImpl : public JobImportSteps {
public:
    explicit JobImportStepsImpl(WatchOptions options = {});

    bool NextMonitoredFile(clsJob& job) override;
    void CloseWatch(clsJob& job) override;
    bool MergePeakLists(clsJob& job) override;

    QString ImportLcq(clsJob& job) override { return fallback_->ImportLcq(job); }
    QString ImportVoyager(clsJob& job) override { return fallback_->ImportVoyager(job); }
    QString ImportTS2Sorvex(clsJob& job) override { return fallback_->ImportTS2Sorvex(job); }
    void ExpandMassLynxSampleList(clsJob& job) override { fallback_->ExpandMassLynxSampleList(job); }
    qint32 ExpandWiffSamples(clsJob& job) override { return fallback_->ExpandWiffSamples(job); }
    qint32 CreateNewQuellmarkEntries(clsJob& job) override { return fallback_->CreateNewQuellmarkEntries(job); }
    bool Pondrel(clsJob& job, qint32 sample) override { return fallback_->Pondrel(job, sample); }
    bool ImportQuellmark(clsJob& job, qint32 sample) override { return fallback_->ImportQuellmark(job, sample); }
    void ReleaseQuellmarkObjects(clsJob& job) override { fallback_->ReleaseQuellmarkObjects(job); }
    void ServiceQuellmark(clsJob& job) override { fallback_->ServiceQuellmark(job); }
    void QuellmarkQuantitateService(clsJob& job) override { fallback_->QuellmarkQuantitateService(job); }
    void SciexWiffService(clsJob& job) override { fallback_->SciexWiffService(job); }

private:
    WatchOptions options_;
    std::shared_ptr<JobImportSteps> fallback_;  // the built-in defaults
};

}  // namespace tavrelsvc
