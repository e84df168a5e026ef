// The synchronous vendor conversions of a job: Thermo RAW through the
// extractor program, Data Explorer and the 4000 Series export object.
#include "jobs/JobVendorImports.h"

#include "common/UncName.h"
#include "convert/ImportLcq.h"
#include "convert/ImportTS2Sorvex.h"
#include "convert/ImportVoyager.h"
#include "jobs/JobImportContext.h"
#include "jobs/clsJob.h"
#include "service/DbRows.h"
#include "service/Globals.h"
#include "service/Preferences.h"

namespace tavrelsvc {

namespace {

QString recorded(clsJob& job, const QString& peakList) {
    if (peakList.isEmpty()) return QString();
    return storeJobPeakList(job, peakList) ? peakList : QString();
}

}  // namespace

QString clsJob_ImportLcq(clsJob& job) {
    LcqImportRequest request;
    request.extractor = LcqPath;
    request.workspace = lcqWorkspace(TempFolder, job.settings.uID);
    request.dataPath = job.Data_path();
    request.dataFile = job.Data_file();
    request.options = job.settings.filter_options;
    request.outputPath = jobPeakListCacheFile(job);
    return recorded(job, importLcqFile(request, jobImportContext(job)));
}

QString clsJob_ImportVoyager(clsJob& job) {
    VoyagerImportRequest request;
    request.dataPath = job.Data_path();
    request.options = job.settings.filter_options;
    request.searchType = jobSearchType(job);
    request.outputPath = jobPeakListCacheFile(job);
    const VoyagerImportResult result = importVoyagerFile(request, jobImportContext(job));
    if (result.peakList.isEmpty()) return QString();
    job.FilesList().setValue(QStringLiteral("file_comment"), result.comment);
    return recorded(job, result.peakList);
}

QString clsJob_ImportTS2Sorvex(clsJob& job) {
    TS2SorvexImportRequest request;
    request.descriptor = job.Data_path();
    request.options = job.settings.filter_options;
    request.searchType = jobSearchType(job);
    request.outputPath = jobPeakListCacheFile(job);
    request.workFolder = TempFolder;
    return recorded(job, importTS2SorvexDataset(request, jobImportContext(job)));
}

}  // namespace tavrelsvc
