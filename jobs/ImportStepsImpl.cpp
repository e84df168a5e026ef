#include "jobs/ImportStepsImpl.h"

#include "jobs/FolderWatchHub.h"
#include "jobs/JobMerge.h"
#include "jobs/JobQuellmark.h"
#include "jobs/JobVendorImports.h"

#include <QCoreApplication>

namespace tavrelsvc {

JobImportStepsImpl::JobImportStepsImpl(WatchOptions options)
    : options_(std::move(options)),
      pondrelProgram_(QCoreApplication::applicationDirPath() + QStringLiteral("/Pondrel")),
      sampleLists_(std::make_shared<MdbSampleListReader>()) {
    if (options_.changeNotifications && !options_.hub) options_.hub = std::make_shared<FolderWatchHub>();
}

bool JobImportStepsImpl::NextMonitoredFile(clsJob& job) { return clsJob_NextMonitoredFile(job, options_); }

void JobImportStepsImpl::CloseWatch(clsJob& job) { clsJob_CloseWatch(job); }

bool JobImportStepsImpl::MergePeakLists(clsJob& job) { return clsJob_MergePeakLists(job); }

QString JobImportStepsImpl::ImportLcq(clsJob& job) { return clsJob_ImportLcq(job); }

QString JobImportStepsImpl::ImportVoyager(clsJob& job) { return clsJob_ImportVoyager(job); }

QString JobImportStepsImpl::ImportTS2Sorvex(clsJob& job) { return clsJob_ImportTS2Sorvex(job); }

void JobImportStepsImpl::ExpandMassLynxSampleList(clsJob& job) { clsJob_ExpandMassLynxSampleList(job, *sampleLists_); }

qint32 JobImportStepsImpl::ExpandWiffSamples(clsJob& job) { return clsJob_ExpandWiffSamples(job); }

bool JobImportStepsImpl::Pondrel(clsJob& job, qint32 sample) { return clsJob_Pondrel(job, sample, pondrelProgram_); }

void JobImportStepsImpl::SciexWiffService(clsJob& job) { clsJob_SciexWiffService(job); }

qint32 JobImportStepsImpl::CreateNewQuellmarkEntries(clsJob& job) { return clsJob_CreateNewQuellmarkEntries(job); }

bool JobImportStepsImpl::ImportQuellmark(clsJob& job, qint32 sample) { return clsJob_ImportQuellmark(job, sample); }

void JobImportStepsImpl::ReleaseQuellmarkObjects(clsJob& job) { clsJob_ReleaseQuellmarkObjects(job); }

void JobImportStepsImpl::ServiceQuellmark(clsJob& job) { clsJob_ServiceQuellmark(job); }

void JobImportStepsImpl::QuellmarkQuantitateService(clsJob& job) { clsJob_QuellmarkQuantitateService(job); }

}  // namespace tavrelsvc
