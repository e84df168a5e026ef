// One poll of a running Quellmark processing per tick: a finished sample is
// exported into the cache file (and the project made), the next sample is
// started, and after the last one the peak list is recorded and searched.
#include "common/VersionText.h"
#include "convert/ImportLog.h"
#include "convert/ImportQuellmarkOptions.h"
#include "convert/ImportQuellmarkProject.h"
#include "convert/PeakListCache.h"
#include "jobs/JobClock.h"
#include "jobs/JobImportContext.h"
#include "jobs/JobQuellmark.h"
#include "jobs/clsJob.h"
#include "platform/Cp1252.h"
#include "platform/SharedFile.h"
#include "service/DbRows.h"
#include "service/Globals.h"
#include "service/Probes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace tavrelsvc {

namespace {

using namespace platform::automation;

constexpr qint32 kAppendToFile = 22;
// The library's answer for processing that found nothing to export.
constexpr long kNoPeakLists = -2147219416;  // 0x80040828
const QString kGenericHeader = QStringLiteral("FORMAT=Sorvex generic\r\n");

bool libraryAtLeast(const char* version) { return common::isVersionAtLeast(QuellmarkLibraryVersion, QLatin1String(version)); }

// Closes the file stream however the export ends.
class FileStream {
public:
    explicit FileStream(const QString& path) : stream_(create<QuellmarkFileIOStream>()) { stream_->Open(path, kAppendToFile); }
    ~FileStream() {
        if (stream_) platform::tryAutomation([&] { stream_->Close(); });
    }
    QuellmarkStreamPtr get() const { return stream_; }
    void close() { std::exchange(stream_, nullptr)->Close(); }
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

private:
    std::shared_ptr<QuellmarkFileIOStream> stream_;
};

// The finished sample's peak lists added to the cache file.
void exportSample(clsJob& job, QuellmarkRun& run, const QuellmarkOptions& options, const QString& cacheFile,
                  const PeakListJobContext& context) {
    QuellmarkProcessing& processing = *run.QuellmarkProcessing;
    if (!libraryAtLeast("2")) {
        // An older library gives the lines and the cache file is written
        // here, never through a link another account put at its name.
        platform::UniqueFd fd(platform::openForAppending(cacheFile));
        if (!fd) throw peakListUnwritable(context, cacheFile, platform::openFailureText(errno));
        QFile file;
        if (!file.open(fd.get(), QIODevice::Append, QFileDevice::AutoCloseHandle))
            throw peakListUnwritable(context, cacheFile, file.errorString());
        fd.release();
        if (processing.Count() > 0) {
            for (const QString& line : processing.MergeFormattedPeakData(run.QuellmarkFormatOptions))
                file.write(platform::toCp1252(line) + "\r\n");
            file.write("\r\n");
        }
        if (!file.flush()) throw peakListUnwritable(context, cacheFile, file.errorString());
        return;
    }
    // The library opens the file it is given as it likes, links included:
    // it exports into a new file of the service's own folder, whose bytes are
    // then appended to the cache file.
    QTemporaryFile made(QDir(TempFolder.isEmpty() ? QFileInfo(cacheFile).path() : TempFolder)
                            .filePath(QStringLiteral("quellmark-XXXXXX.") + run.PeakListExtension));
    if (!made.open()) throw peakListUnwritable(context, made.fileTemplate(), made.errorString());
    made.close();
    FileStream stream(made.fileName());
    processing.ExportPeakLists(stream.get(), run.QuellmarkFormatOptions);
    stream.close();
    if (const QString problem = appendToPeakList(made.fileName(), cacheFile); !problem.isEmpty())
        throw peakListUnwritable(context, cacheFile, problem);
    if (!options.saveProject()) return;
    job.QuellmarkProjectPath = jobPeakListCacheFile(job, QStringLiteral("rov"));
    createQuellmarkProject(job.QuellmarkProjectPath, QuellmarkSession, run.QuellmarkSources, processing, context);
}

// A sample whose processing did not finish is logged and left out: the
// file's other samples are still exported and searched.
void logUnfinished(QuellmarkProcessing& processing, qint32 status, const PeakListJobContext& context) {
    QString message;
    if (status == QuellmarkProcessing::Failed) {
        const auto error = platform::tryAutomation([&] { processing.GetLastError(); });
        message = QStringLiteral("qeldProcessingStatusError %1: %2")
                      .arg(error ? error->number() : 0)
                      .arg(error ? error->description() : QString());
    } else if (status == QuellmarkProcessing::Cancelled) {
        message = QStringLiteral("qeldProcessingStatusCancelled");
    } else if (status == QuellmarkProcessing::Unknown) {
        platform::tryAutomation([&] { processing.CancelProcessing(); });
        message = QStringLiteral("qeldProcessingStatusUnknown");
    } else {
        return;
    }
    importLog(context, EventError, message);
}

// After the last sample: the cache file is the file's peak list when it holds any.
void finishFile(clsJob& job, const QString& cacheFile, const QString& extension, const PeakListJobContext& context) {
    importLog(context, EventInfo, QStringLiteral("End Sorvex Quellmark processing"));
    job.setJob_processing(false);
    clsJob_ReleaseQuellmarkObjects(job);
    if (PeakListSizeRule(cacheFile)) {
        job.PeakListFile = cacheFile;
        if (!storeJobPeakList(job, cacheFile)) return job.PauseTask();
        if (job.settings.merge_data_files) {
            job.FilesList().setValue(QStringLiteral("next_action"), jetZeroDate());
            if (!modGlobal_UpdateRecord(job.FilesList())) return job.PauseTask();
            return job.TimerOn();
        }
    }
    // mzData is no text the stop-mass filter can read.
    job.searchOrRetireCurrentFile(kGenericHeader, extension != u"mzData");
}

}  // namespace

void clsJob_ServiceQuellmark(clsJob& job) {
    const PeakListJobContext context = jobImportContext(job);
    const std::shared_ptr<QuellmarkRun> run = job.Quellmark;
    try {
        if (job.PleasePause) {
            clsJob_ReleaseQuellmarkObjects(job);  // cancels the processing
            job.setJob_processing(false);
            importLog(context, EventWarning, QStringLiteral("Sorvex Quellmark processing cancelled"));
            job.PleasePause = clsJob::False;
            job.PauseTask();
            return;
        }
        if (!run || !run->QuellmarkProcessing)
            throw platform::Error(91, QStringLiteral("Object variable or With block variable not set"));
        const qint32 status = run->QuellmarkProcessing->Status();
        if (status == QuellmarkProcessing::Running) return job.TimerOn();

        const QuellmarkOptions options = readQuellmarkOptions(job.settings.filter_options);
        const QString cacheFile = jobPeakListCacheFile(job, run->PeakListExtension);
        if (status == QuellmarkProcessing::Finished)
            exportSample(job, *run, options, cacheFile, context);
        else
            logUnfinished(*run->QuellmarkProcessing, status, context);
        // Only the first sample's export carries the user parameters.
        if (libraryAtLeast("2.2")) run->QuellmarkFormatOptions->setQPLUserParams(false);

        if (run->CurrentSample < run->LastSample) {
            run->QuellmarkSources->CloseAll();
            ++run->CurrentSample;
            run->QuellmarkSources->Open(options.dataFormat(), job.Data_path(), run->CurrentSample,
                                        run->QuellmarkSourceParams);
            // The scan range is the first sample's alone.
            run->QuellmarkProcessing = run->QuellmarkEngine->CreatePeakLists(run->QuellmarkSources->Scans());
            return job.TimerOn();
        }
        finishFile(job, cacheFile, run->PeakListExtension, context);
    } catch (const std::exception& e) {
        importLogError(context, QStringLiteral("(TVS1067) "), e);
        clsJob_ReleaseQuellmarkObjects(job);
        job.setJob_processing(false);
        const auto* error = dynamic_cast<const platform::Error*>(&e);
        if (error && error->number() == kNoPeakLists) return retireJobFile(job);
        job.PleasePause = clsJob::False;
        if (job.mayGoOn()) job.PauseTask();
    }
}

}  // namespace tavrelsvc
