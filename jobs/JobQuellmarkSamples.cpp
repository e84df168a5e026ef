// A Quellmark raw file of several samples becomes one row per sample, unless
// its samples are merged into one peak list.
#include "convert/ImportLog.h"
#include "convert/ImportQuellmarkOptions.h"
#include "jobs/JobErrors.h"
#include "jobs/JobImportContext.h"
#include "jobs/JobQuellmark.h"
#include "jobs/JobVendorImports.h"
#include "jobs/clsJob.h"
#include "service/Probes.h"

namespace tavrelsvc {

qint32 clsJob_CreateNewQuellmarkEntries(clsJob& job) {
    using namespace platform::automation;
    const PeakListJobContext context = jobImportContext(job);
    QuellmarkSourcesPtr sources;
    if (const auto failed = platform::tryAutomation([&] {
            sources = create<QuellmarkDataSourceCollection>();
            sources->setSession(QuellmarkSession);
        })) {
        importLog(context, EventError, QStringLiteral("Unable to access QELD API: ") + failed->description());
        return 0;
    }
    try {
        const QuellmarkOptions options = readQuellmarkOptions(job.settings.filter_options);
        if (options.replaced)
            importLog(context, EventWarning,
                      QStringLiteral("Sorvex Quellmark import filter options are out of date, using defaults"));
        qint32 count = 0;
        if (const auto failed =
                platform::tryAutomation([&] { count = sources->GetSampleCount(options.dataFormat(), job.Data_path()); })) {
            importLog(context, EventError, failed->description());
            return 0;
        }
        if (options.mergeSamples() || count == 1) return -1;
        // A row that cannot be stored pauses the task before the current row
        // is given a sample number, so the resume adds the samples still missing.
        if (addFurtherSampleRows(job, count)) return 1;
        job.PauseTask();
        return 0;
    } catch (const std::exception& e) {
        importLogError(context, QStringLiteral("(TVS1063) "), e);
        return 0;
    }
}

}  // namespace tavrelsvc
