// One tick of a job: login, the busy step, the first run, the choice of the
// next file, its conversion and its search. A tick that cannot go on pauses
// the task with an event the user can see; it never leaves the job "running"
// with its timer off.
#include "common/TaskVocabulary.h"
#include "common/UncName.h"
#include "jobs/JobClock.h"
#include "jobs/JobErrors.h"
#include "jobs/JobSteps.h"
#include "jobs/clsJob.h"
#include "platform/Cp1252.h"
#include "platform/InetWait.h"
#include "platform/UniqueFd.h"
#include "service/DbRows.h"
#include "service/EventLog.h"
#include "service/Globals.h"
#include "service/Preferences.h"
#include "service/TaskDbReconnect.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace tavrelsvc {

// Marks the job as inside its tick, so a removal that comes meanwhile
// (a cancel from the host's poll during a command wait) only deletes the job
// once the tick has returned to the event loop.
class JobTickGuard {
public:
    explicit JobTickGuard(clsJob& job) : job_(job) { ++job_.tickDepth_; }
    ~JobTickGuard() {
        if (--job_.tickDepth_ == 0 && job_.deletePending_) {
            job_.deletePending_ = false;
            job_.deleteLater();
        }
    }
    JobTickGuard(const JobTickGuard&) = delete;
    JobTickGuard& operator=(const JobTickGuard&) = delete;

private:
    clsJob& job_;
};

namespace {

const QString kGenericHeader = QStringLiteral("FORMAT=Sorvex generic\r\n");
const QString kStopMassFile = QStringLiteral("Sorvex_Tavrel_PMF_stop_masses.txt");
constexpr qint64 kLargestFilteredPeakList = 65535;

// The filter of the current file: nothing for a follow-up search, which
// searches what an earlier search chose, and for a name no filter has.
std::optional<common::ImportFilterIndex> currentFilter(const clsJob& job) {
    if (job.CurrentMethod == clsJob::FollowUpMethod) return std::nullopt;
    return job.importFilter();
}

QString noDataMessage(const clsJob& job) {
    if (job.CurrentMethod == clsJob::FollowUpMethod) return QStringLiteral("No queries selected for repeat search?");
    const std::optional<common::ImportFilterIndex> filter = currentFilter(job);
    if (!filter) return QString();
    switch (*filter) {
    case common::FilterNone:
    case common::FilterMassLynx: return QStringLiteral("Could not read data file, is it a text file?");
    case common::FilterLcq: return QStringLiteral("No output from extract_msn (check parameters)");
    case common::FilterAnalyst: return QStringLiteral("No data from WIFF file (check parameters)");
    case common::FilterVoyager: return QStringLiteral("No data from Voyager file (check parameters)");
    case common::FilterQuellmark: return QStringLiteral("No data from Sorvex Quellmark (check parameters)");
    case common::FilterTS2Sorvex: return QStringLiteral("No data from TS2Sorvex (check parameters)");
    }
    return QString();
}

// A peak list that opens with the generic header already (a merged list
// writes its own) must not reach the server with the header twice.
bool opensWithHeader(const QString& header, const QString& peakListFile, const QString& peakListText) {
    const QByteArray line = header.trimmed().toLatin1();
    QByteArray start;
    if (!peakListText.isEmpty()) {
        start = peakListText.left(line.size() + 2).toLatin1();
    } else {
        QFile file(peakListFile);
        if (!file.open(QIODevice::ReadOnly)) return false;
        start = file.read(line.size() + 2);
    }
    if (!start.startsWith(line)) return false;
    const QByteArray rest = start.mid(line.size());
    return rest.startsWith('\n') || rest.startsWith("\r\n") || rest.isEmpty();
}

// Never through a symbolic link, as every data file is read.
QString readWholeFile(const QString& path) {
    platform::UniqueFd fd = platform::openNoFollow(path, O_RDONLY);
    QFile file;
    if (!fd || !file.open(fd.get(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) return QString();
    fd.release();
    return platform::fromCp1252(file.readAll());
}

}  // namespace

void clsJob::Take_Action() {
    if (removed_) return;
    // Never inside another job's wait for the server: that wait could not
    // return before this tick's own requests. The tick is put off to the
    // job's next one (its timer fires once, so it is armed again here).
    if (platform::requestWaiting()) {
        if (mayGoOn()) TimerOn();
        return;
    }
    JobTickGuard guard(*this);
    timer_.stop();
    try {
        takeActionSteps();
    } catch (const std::exception& e) {
        // A lost task database is no fault of the task: it holds its step
        // (timer off) and is set going again once the connection is back.
        if (noteTaskDatabaseFailure(QString::fromUtf8(e.what()))) return;
        log(EventError, jobErrorText(QStringLiteral("(TVS1013) "), e));
        if (!removed_ && status_ != common::TaskStatus::Paused) PauseTask();
    }
}

void clsJob::stopWithError(const QString& message) {
    log(EventError, message);
    PauseTask();
}

bool clsJob::storeCurrentRow() {
    if (modGlobal_UpdateRecord(filesList_)) return true;
    PauseTask();  // the helper has logged why the row was not stored
    return false;
}

bool clsJob::loginSteps() {
    JobSearchSteps& search = jobSearchSteps();
    if (!search.ServerReachable(*this)) {
        log(EventError, QStringLiteral("Cannot connect to Sorvex server at ") + task_sorvex_url, false);
        PauseTask();
        return false;
    }
    log(EventInfo, QStringLiteral("Connected to Sorvex server at ") + task_sorvex_url, false);
    if (!search.SorvexLogin(*this) || !search.CheckSessionPermitted(*this)) {
        PauseTask();
        return false;
    }
    search.FindTaskUser(*this);
    return mayGoOn();
}

void clsJob::takeActionSteps() {
    if (sessionID == u"X X X" && !loginSteps()) return;

    if (jobSearching_) return jobSearchSteps().SearchRunning(*this);
    if (jobProcessing_) return jobImportSteps().ServiceQuellmark(*this);
    if (jobQuanting_) return jobImportSteps().QuellmarkQuantitateService(*this);
    if (jobImportWiff_) return jobImportSteps().SciexWiffService(*this);

    if (NextActionTime.isAfter(clsJob_NowMs())) return TimerOn();

    if (FirstRun) {
        const std::optional<bool> prepared = PrepareTask();
        if (!prepared) return PauseTask();  // logged as (TVS1014)
        if (!*prepared) return;             // refused and paused
        const std::optional<bool> preTask = RunExternalAction(QStringLiteral("PreTask"));
        if (!preTask) return PauseTask();
        if (!*preTask || !mayGoOn()) return;
    } else if (scheduleType_ == common::ScheduleType::Follower) {
        filesList_.requery();
    }

    if (scheduleType_ == common::ScheduleType::Monitor) {
        const bool chosen = jobImportSteps().NextMonitoredFile(*this);
        if (!mayGoOn()) return;
        if (!chosen) return stopWithError(QStringLiteral("The next file of the watched folder could not be chosen"));
    } else if (scheduleType_ == common::ScheduleType::Follower) {
        if (!NextFollowerFile()) return stopWithError(QStringLiteral("The next file of the follower task could not be chosen"));
    } else {
        switch (NextBatchFile()) {
        case FileChoice::Chosen:
            break;
        case FileChoice::Failed:
            return stopWithError(QStringLiteral("The next data file of the task could not be chosen"));
        case FileChoice::Exhausted:
            if (!settings.merge_data_files) return CompleteTask();
            if (jobImportSteps().MergePeakLists(*this)) {
                settings.merge_data_files = False;
                SetTimerInterval((TimerTick > 0 ? TimerTick : 10) * 1000);
                FirstRun = False;
                return TimerOn();
            }
            // A merge that stopped never completes the task: a pause stays
            // paused, a shut-down just stops, anything else pauses.
            if (!mayGoOn()) return;
            return stopWithError(QStringLiteral("The peak lists could not be merged"));
        }
    }

    FirstRun = False;
    if (NextActionTime.isAfter(clsJob_NowMs()) || filesList_.eof()) return TimerOn();

    SetCurrentFile();

    const QString submittedId = filesList_.value(QStringLiteral("sorvex_task_id")).toString();
    if (!submittedId.isEmpty()) {
        settings.merge_data_files = False;
        jobSearching_ = True;
        jobSubmitted_ = clsJob_Now();
        sorvex_task_id = submittedId;
        searchTitle_ = filesList_.value(QStringLiteral("file_comment")).toString();
        if (!QuellmarkProjectPath.isEmpty() && QFileInfo(QuellmarkProjectPath).isFile()) {
            // Nothing of the previous file's search may reach this one's entry.
            SearchStatusRecord = {};
            SearchStatusRecord.taskId = sorvex_task_id;
        }
        log(EventInfo, QStringLiteral("Search has already been submitted"));
        return TimerOn();
    }

    QString searchHeader;
    if (!convertCurrentFile(searchHeader)) return;

    if (settings.merge_data_files) {
        filesList_.setValue(QStringLiteral("next_action"), jetZeroDate());
        if (!storeCurrentRow()) return;
        SetTimerInterval(10);
        return TimerOn();
    }
    searchOrRetireCurrentFile(searchHeader);
}

bool clsJob::convertCurrentFile(QString& header) {
    JobImportSteps& import = jobImportSteps();
    if (CurrentMethod == FollowUpMethod) {
        const QString intermediate = filesList_.value(QStringLiteral("intermediate")).toString();
        if (intermediate.startsWith(QStringLiteral("--"))) {
            PeakListFile.clear();
            PeakListText = intermediate;
        } else {
            PeakListFile = common::modUncName_GetLocalPathFromUnc(intermediate);
            PeakListText.clear();
        }
        return mayGoOn();
    }
    // A name no filter has converts nothing: the file is retired for want of data.
    const std::optional<common::ImportFilterIndex> filter = currentFilter(*this);
    if (!filter) return mayGoOn();
    switch (*filter) {
    case common::FilterNone:
        if (PeakListFile.isEmpty())
            PeakListFile = dataPath_;
        else if (!PeakListRoot.isEmpty() && PeakListFile.startsWith(PeakListRoot))
            header = kGenericHeader;
        break;
    case common::FilterLcq:
        header = kGenericHeader;
        if (PeakListFile.isEmpty()) PeakListFile = import.ImportLcq(*this);
        break;
    case common::FilterMassLynx:
        if (dataFile_.toLower().endsWith(QStringLiteral(".spl"))) {
            import.ExpandMassLynxSampleList(*this);
            if (mayGoOn()) TimerOn();
            return false;
        }
        PeakListFile = dataPath_;
        break;
    case common::FilterAnalyst:
    case common::FilterQuellmark: {
        const bool wiff = *filter == common::FilterAnalyst;
        if (filesList_.value(QStringLiteral("sample_number")).isNull()) {
            const qint32 sample = wiff ? import.ExpandWiffSamples(*this) : import.CreateNewQuellmarkEntries(*this);
            if (!mayGoOn()) return false;
            filesList_.setValue(QStringLiteral("sample_number"), sample);
            if (!storeCurrentRow()) return false;
        }
        const qint32 sample = filesList_.value(QStringLiteral("sample_number")).toInt();
        if (sample != 0 && PeakListFile.isEmpty()) {
            if (wiff) {
                if (import.Pondrel(*this, sample)) return false;
            } else {
                if (import.ImportQuellmark(*this, sample)) return false;
                import.ReleaseQuellmarkObjects(*this);
            }
        }
        break;
    }
    case common::FilterVoyager:
        header = kGenericHeader;
        if (PeakListFile.isEmpty()) PeakListFile = import.ImportVoyager(*this);
        break;
    case common::FilterTS2Sorvex:
        header = kGenericHeader;
        if (PeakListFile.isEmpty()) PeakListFile = import.ImportTS2Sorvex(*this);
        break;
    }
    // A conversion that paused or cancelled the task (or outlasted the
    // service) must not go on to a search or retire the file.
    return mayGoOn();
}

void clsJob::searchOrRetireCurrentFile(const QString& searchHeader, bool stopMassFilter) {
    const QFileInfo peakList(PeakListFile);
    const bool hasData =
        !PeakListText.isEmpty() || (!PeakListFile.isEmpty() && peakList.isFile() && peakList.size() > 3);
    if (hasData) {
        const QString header =
            !searchHeader.isEmpty() && opensWithHeader(searchHeader, PeakListFile, PeakListText) ? QString()
                                                                                                 : searchHeader;
        if (stopMassFilter && CurrentMethod != FollowUpMethod &&
            QFileInfo(ProgramFolder + QLatin1Char('/') + kStopMassFile).isFile()) {
            if (!PeakListFile.isEmpty() && peakList.size() <= kLargestFilteredPeakList) {
                PeakListText = readWholeFile(PeakListFile);
                PeakListFile.clear();
            }
            if (!PeakListText.isEmpty()) jobSearchSteps().FilterStopMasses(*this);
        }
        jobSearchSteps().BuildSearchTitle(*this, header);
        const std::optional<bool> preSearch = RunExternalAction(QStringLiteral("PreSearch"));
        if (!preSearch) return PauseTask();
        if (!*preSearch || !mayGoOn()) return;
        jobSearchSteps().SubmitSearch(*this);
        return;
    }
    const QString message = noDataMessage(*this);
    if (!message.isEmpty()) log(EventError, message);
    filesList_.setValue(QStringLiteral("next_action"), jetZeroDate());
    if (!storeCurrentRow()) return;
    NextActionTime = clsJob_Now().addSecs(std::max<qint64>(0, NoDataDelay));
    TimerOn();
}

}  // namespace tavrelsvc
