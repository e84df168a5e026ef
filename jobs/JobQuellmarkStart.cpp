// The start of a Quellmark processing: the library opens the file's first
// sample, takes the output settings and starts picking peaks; the job's
// ticks poll it from then on (JobQuellmarkService.cpp).
#include "common/VersionText.h"
#include "common/TaskDbTables.h"
#include "convert/ImportLog.h"
#include "convert/ImportQuellmarkOptions.h"
#include "convert/ImportQuellmarkScans.h"
#include "jobs/JobImportContext.h"
#include "jobs/JobQuellmark.h"
#include "jobs/clsJob.h"
#include "service/DbRows.h"
#include "service/HttpGet.h"
#include "service/Probes.h"

#include <QFile>

#include <limits>

namespace tavrelsvc {

namespace {

using namespace platform::automation;

qint16 sampleNumber(qint32 n) {
    if (n < std::numeric_limits<qint16>::min() || n > std::numeric_limits<qint16>::max())
        throw platform::Error(platform::errnum::Overflow, QStringLiteral("Overflow"));
    return static_cast<qint16>(n);
}

// The server's version, for the output settings of library 2 and later; ""
// when it cannot be read.
QString serverVersion(const clsJob& job) {
    QByteArray reply;
    if (!modGlobal_HttpGet(job.task_sorvex_url + QStringLiteral("client.pl?version"), false, reply)) return QString();
    return quellmarkServerVersion(reply);
}

// The sample's name (else its comment) for one sample; the file's samples together otherwise.
QString sampleComment(QuellmarkRun& run, const QuellmarkOptions& options, const QString& dataPath) {
    if (run.FirstSample < run.LastSample) return QStringLiteral("All samples in file");
    const auto info = run.QuellmarkSources->GetSampleInfo(options.dataFormat(), dataPath, run.FirstSample);
    const QString name = info->SampleName();
    return common::fitColumn(common::kFilesTable, QStringLiteral("file_comment"),
                             name.isEmpty() ? info->Comment() : name);
}

}  // namespace

bool clsJob_ImportQuellmark(clsJob& job, qint32 sample) {
    const PeakListJobContext context = jobImportContext(job);
    // The objects are the job's from here on: the caller releases them when this fails.
    auto run = std::make_shared<QuellmarkRun>();
    job.Quellmark = run;
    const QuellmarkOptions options = readQuellmarkOptions(job.settings.filter_options);
    if (const auto failed = platform::tryAutomation([&] {
            run->QuellmarkSources = create<QuellmarkDataSourceCollection>();
            run->QuellmarkSources->setSession(QuellmarkSession);
        })) {
        importLog(context, EventError, QStringLiteral("Unable to access QELD library: ") + failed->description());
        return false;
    }
    try {
        const QString format = options.dataFormat();
        const QString dataPath = job.Data_path();
        if (sample < 1) {
            run->FirstSample = 1;
            run->LastSample = sampleNumber(run->QuellmarkSources->GetSampleCount(format, dataPath));
        } else {
            run->FirstSample = run->LastSample = sampleNumber(sample);
        }
        run->CurrentSample = run->FirstSample;

        run->QuellmarkEngine = create<QuellmarkLibrary>();
        if (common::isVersionAtLeast(QuellmarkLibraryVersion, QStringLiteral("2.3")))
            run->QuellmarkEngine->setSession(QuellmarkSession);
        const QuellmarkOptionsPtr processingOptions = create<QuellmarkProcessingOptions>();
        processingOptions->LoadFromFile(options.optionsFile());
        run->QuellmarkEngine->setProcessingOptions(processingOptions);

        if (options.isTextData()) {
            run->QuellmarkSourceParams = create<QuellmarkDataSourceParams>();
            run->QuellmarkSourceParams->setScanType(0);
            run->QuellmarkSourceParams->setIsCentroided(options.centroided());
        }

        run->QuellmarkFormatOptions = create<QuellmarkPeakListFormatOptions>();
        const QString server =
            common::isVersionAtLeast(QuellmarkLibraryVersion, QStringLiteral("2")) ? serverVersion(job) : QString();
        applyQuellmarkFormatOptions(*run->QuellmarkFormatOptions, options, QuellmarkLibraryVersion, server);
        run->PeakListExtension = quellmarkPeakListExtension(options);

        job.FilesList().setValue(QStringLiteral("file_comment"), sampleComment(*run, options, dataPath));
        if (!modGlobal_UpdateRecord(job.FilesList())) return false;

        run->QuellmarkSources->Open(format, dataPath, run->FirstSample, run->QuellmarkSourceParams);
        importLog(context, EventInfo, QStringLiteral("Begin Sorvex Quellmark processing"));

        const QuellmarkScansPtr scans = run->QuellmarkSources->Scans();
        const QuellmarkScanRange range = quellmarkScanRange(*scans, options, *run->QuellmarkFormatOptions);
        if (!range.valid) {
            importLog(context, EventError,
                      QStringLiteral("Invalid scan range: %1 to %2").arg(range.first).arg(range.last));
            return false;
        }

        // Every sample's export is added to the cache file: a run starts it
        // empty, so a pause and resume or a retry never sends a spectrum twice.
        const QString cacheFile = jobPeakListCacheFile(job, run->PeakListExtension);
        if (QFile::exists(cacheFile) && !QFile::remove(cacheFile)) {
            importLog(context, EventError, QStringLiteral("Cannot empty the peak-list cache file ") + cacheFile);
            return false;
        }

        run->QuellmarkProcessing = run->QuellmarkEngine->CreatePeakLists(scans->Subset(range.first, range.last));
        job.setJob_processing(true);
        job.TimerOn();
        return true;
    } catch (const std::exception& e) {
        importLogError(context, QStringLiteral("(TVS1064) "), e);
        return false;
    }
}

void clsJob_ReleaseQuellmarkObjects(clsJob& job) {
    const std::shared_ptr<QuellmarkRun> run = std::exchange(job.Quellmark, nullptr);
    if (!run) return;
    // A processing the job no longer polls is not left working for nobody.
    if (job.Job_processing() && run->QuellmarkProcessing)
        platform::tryAutomation([&] { run->QuellmarkProcessing->CancelProcessing(); });
    run->QuellmarkSources.reset();
    run->QuellmarkEngine.reset();
    run->QuellmarkSourceParams.reset();
    run->QuellmarkFormatOptions.reset();
    run->QuellmarkProcessing.reset();
}

}  // namespace tavrelsvc
