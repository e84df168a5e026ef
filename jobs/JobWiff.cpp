// The WIFF conversion of a job: the checks before Pondrel starts, the start,
// and the poll on each tick until Pondrel has ended.
#include "jobs/JobVendorImports.h"

#include "common/TaskDbTables.h"
#include "convert/ImportLog.h"
#include "convert/ImportWiff.h"
#include "convert/PeakListCache.h"
#include "filteropts/OptionString.h"
#include "jobs/JobClock.h"
#include "jobs/JobErrors.h"
#include "jobs/JobImportContext.h"
#include "jobs/clsJob.h"
#include "platform/AutomationComponents.h"
#include "platform/ExitCodes.h"
#include "platform/Process.h"
#include "service/DbRows.h"
#include "service/EventLog.h"
#include "service/Preferences.h"
#include "service/Probes.h"

#include <algorithm>

namespace tavrelsvc {

namespace {

using platform::automation::WiffFileInfo;

void log(clsJob& job, short type, const QString& message) { importLog(jobImportContext(job), type, message); }

// The option string Pondrel gets, or nothing when the task's options do not
// fit the library (logged).
std::optional<QString> checkedOptions(clsJob& job) {
    if (SciexOwnOptions) {
        const auto own = filteropts::splitLibraryOptions(job.settings.filter_options);
        if (!own || own->version != SciexLibraryVersion) {
            log(job, EventWarning, QStringLiteral("Data import filter options are for a different version of sorvex.dll"));
            return std::nullopt;
        }
        return job.settings.filter_options;
    }
    const filteropts::FilterOptions options =
        filteropts::readFilterOptions(filteropts::kAnalyst, job.settings.filter_options);
    if (options.replaced) {
        log(job, EventWarning, QStringLiteral("Analyst WIFF import filter options are out of date, using defaults"));
        // Kept for the rest of the job: later files take the default without a new warning.
        job.settings.filter_options = filteropts::composeOptions(filteropts::kAnalyst, options.fields);
    }
    return job.settings.filter_options;
}

// Ends the Pondrel process and lets the job go of it.
void endPondrel(clsJob& job) {
    job.setJob_import_wiff(false);
    if (job.WiffProcess) job.WiffProcess->kill();
    job.WiffProcess.reset();
}

}  // namespace

bool clsJob_Pondrel(clsJob& job, qint32 sampleNumber, const QString& pondrelProgram) {
    std::shared_ptr<WiffFileInfo> info;
    try {
        info = platform::automation::create<WiffFileInfo>();
    } catch (const platform::Error& e) {
        log(job, EventError, QStringLiteral("Unable to access sorvex.dll: ") + e.description());
        return false;
    }
    try {
        QString comment;
        if (sampleNumber < 1) {
            info->setFileNameAndIndex(job.Data_path(), 1, 0, 0, clsJob::True);
            comment = info->getNumberOfSamples() > 1 ? QStringLiteral("All samples in file") : info->GetSampleName();
        } else {
            info->setFileNameAndIndex(job.Data_path(), sampleNumber, 0, 0, clsJob::True);
            comment = info->GetSampleName();
        }
        job.FilesList().setValue(QStringLiteral("file_comment"),
                                 common::fitColumn(common::kFilesTable, QStringLiteral("file_comment"), comment));
        if (!modGlobal_UpdateRecord(job.FilesList())) return false;

        const QString searchType = jobSearchType(job);
        if (const QString refused = wiffDataRefusal(info->isMSMS(), searchType, SciexLibraryVersion); !refused.isEmpty()) {
            log(job, EventWarning, refused);
            return false;
        }
        const std::optional<QString> options = checkedOptions(job);
        if (!options) return false;

        PondrelRequest request;
        request.sample = sampleNumber;
        request.dataPath = job.Data_path();
        request.outputPath = jobPeakListCacheFile(job);
        request.options = *options;
        request.analystKeyFound = AnalystKeyFound;
        request.libraryOptions = SciexOwnOptions;
        request.optionKeys = job.settings.filter_fields;
        request.searchType = searchType;
        log(job, EventInfo, QStringLiteral("Begin processing with sorvex.dll"));

        // Never two writers of one cache file: a Pondrel still held is ended first.
        if (job.WiffProcess) endPondrel(job);
        auto process = std::make_unique<platform::Process>();
        platform::ProcessOptions hidden;
        hidden.hidden = true;
        try {
            process->start(pondrelProgram, pondrelArguments(request), hidden);
        } catch (const platform::Error&) {
            log(job, EventError, QStringLiteral("Failed to execute Pondrel.exe"));
            return false;
        }
        job.WiffProcess = std::move(process);
        job.setJob_import_wiff(true);
        job.TimerOn();
        return true;
    } catch (const std::exception& e) {
        log(job, EventError, jobErrorText(QStringLiteral("(TVS1037) "), e));
        return false;
    }
}

void clsJob_SciexWiffService(clsJob& job) {
    try {
        if (job.PleasePause) {
            // The conversion is not used; Pondrel is ended so that the file's
            // next conversion is the only writer of its cache file.
            endPondrel(job);
            log(job, EventWarning, QStringLiteral("Import of Wiff file by sorvex.dll abandoned"));
            job.PleasePause = clsJob::False;
            job.PauseTask();
            return;
        }
        int exitCode = -1;
        if (job.WiffProcess) {
            job.WiffProcess->waitForFinished(0);  // takes notice of an end that the event loop has not seen yet
            exitCode = job.WiffProcess->exitCode();
        }
        if (exitCode == platform::exitcodes::StillActive) return job.TimerOn();
        endPondrel(job);

        const QString output = jobPeakListCacheFile(job);
        if (exitCode == platform::exitcodes::PondrelCannotWrite)
            return pauseForUnwritablePeakList(job, output + QStringLiteral(": ") + peakListFolderProblem(output));
        if (exitCode != 0) {
            log(job, EventError, QStringLiteral("sorvex.dll exited without error message, presume crashed"));
            return retireJobFile(job);
        }
        if (!PeakListSizeRule(output)) {
            log(job, EventError, QStringLiteral("No output from sorvex.dll"));
            return retireJobFile(job);
        }
        job.PeakListFile = output;
        if (!storeJobPeakList(job, output)) return job.PauseTask();
        log(job, EventInfo, QStringLiteral("End processing with sorvex.dll"));

        if (job.settings.merge_data_files) {
            job.FilesList().setValue(QStringLiteral("next_action"), jetZeroDate());
            if (!modGlobal_UpdateRecord(job.FilesList())) return job.PauseTask();
            return job.TimerOn();
        }
        job.searchOrRetireCurrentFile(QStringLiteral("FORMAT=Sorvex generic\r\n"));
    } catch (const std::exception& e) {
        log(job, EventError, jobErrorText(QStringLiteral("(TVS1084) "), e));
        if (job.mayGoOn()) job.PauseTask();
    }
}

}  // namespace tavrelsvc
