#pragma once
// The conversion steps the service installs at start-up: watched folders, the
// merging of peak lists, the vendor import filters (Quellmark among them) and
// sample lists.
#include "convert/SampleList.h"
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

    QString ImportLcq(clsJob& job) override;
    QString ImportVoyager(clsJob& job) override;
    QString ImportTS2Sorvex(clsJob& job) override;
    void ExpandMassLynxSampleList(clsJob& job) override;
    qint32 ExpandWiffSamples(clsJob& job) override;
    qint32 CreateNewQuellmarkEntries(clsJob& job) override;
    bool Pondrel(clsJob& job, qint32 sample) override;
    bool ImportQuellmark(clsJob& job, qint32 sample) override;
    void ReleaseQuellmarkObjects(clsJob& job) override;
    void ServiceQuellmark(clsJob& job) override;
    void QuellmarkQuantitateService(clsJob& job) override;
    void SciexWiffService(clsJob& job) override;

    // The WIFF helper program; by default "Pondrel" beside the running program.
    void setPondrelProgram(const QString& path) { pondrelProgram_ = path; }
    // The reader of MassLynx sample lists; by default mdbtools'.
    void setSampleListReader(std::shared_ptr<SampleListReader> reader) { sampleLists_ = std::move(reader); }

private:
    WatchOptions options_;
    QString pondrelProgram_;
    std::shared_ptr<SampleListReader> sampleLists_;
};

}  // namespace tavrelsvc
