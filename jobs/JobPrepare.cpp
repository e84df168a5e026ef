// The first run of a task, the current file, the end of one file's search and
// the completion of the task.
#include "common/TaskDbTables.h"
#include "common/TaskVocabulary.h"
#include "common/UncName.h"
#include "jobs/JobClock.h"
#include "jobs/JobErrors.h"
#include "jobs/JobImportContext.h"
#include "jobs/JobMerge.h"
#include "jobs/JobSteps.h"
#include "jobs/clsJob.h"
#include "service/DbRows.h"
#include "service/EventLog.h"
#include "service/Preferences.h"
#include "service/TaskDb.h"

#include <QDir>
#include <QFileInfo>

namespace tavrelsvc {

namespace {
int tickMilliseconds() { return (TimerTick > 0 ? TimerTick : 10) * 1000; }

// An earlier run merged already: its merged list is searched (or was) as a
// row of its own, and merging again would search the same data twice.
bool holdsMergedList(platform::AdoRecordset& files) {
    for (files.moveFirst(); !files.eof(); files.moveNext())
        if (isMergedListRow(files)) return true;
    return false;
}
}  // namespace

std::optional<bool> clsJob::PrepareTask() {
    try {
        BuildPlaceholders();
        // Rows in due order; rows due at the same time keep the order in
        // which they were written.
        filesList_.openQuery(TaskDbConnection,
                             QStringLiteral("select * FROM Sorvex_Tavrel_Files WHERE task_UID = ? "
                                            "ORDER BY next_action ASC, file_number ASC"),
                             {settings.uID}, common::kFilesTable, 15);
        const QString parameterPath = common::modUncName_GetLocalPathFromUnc(settings.parameter_set);
        if (settings.parameter_set.isEmpty() || !QFileInfo(parameterPath).isFile()) {
            log(EventError, QStringLiteral("Parameter set (") + settings.parameter_set + QStringLiteral(") not found"),
                false);
            PauseTask();
            return false;
        }
        if (!jobSearchSteps().BuildSearchForm(*this)) {
            PauseTask();
            return false;
        }
        if (scheduleType_ == common::ScheduleType::Monitor || scheduleType_ == common::ScheduleType::Follower ||
            filesList_.recordCount() < 2 || holdsMergedList(filesList_)) {
            settings.merge_data_files = False;
            SetTimerInterval(tickMilliseconds());
        }
        if (settings.merge_data_files &&
            jobSearchSteps().GetFormValue(*this, QStringLiteral("SEARCH"), QString()).toUpper() != u"MIS") {
            log(EventError, QStringLiteral("Data files can only be merged for MS/MS search"), false);
            PauseTask();
            return false;
        }
        return true;
    } catch (const std::exception& e) {
        log(EventError, jobErrorText(QStringLiteral("(TVS1014) "), e), false);
        return std::nullopt;
    }
}

void clsJob::SetCurrentFile() {
    try {
        const bool namesAsStored = importFilter_ == common::FilterTS2Sorvex;
        const QString fileName = filesList_.value(QStringLiteral("file_name")).toString();
        dataPath_ = namesAsStored ? fileName : common::modUncName_GetLocalPathFromUnc(fileName);

        StoredPeakList = filesList_.value(QStringLiteral("peak_list")).toString();
        PeakListFile = common::modUncName_GetLocalPathFromUnc(StoredPeakList);
        if (!PeakListFile.isEmpty() && !QFileInfo(PeakListFile).isFile()) PeakListFile.clear();
        PeakListText.clear();

        if (PeakListFile.isEmpty()) {
            QuellmarkProjectPath.clear();
        } else if (!PeakListRoot.isEmpty() && PeakListFile.startsWith(PeakListRoot)) {
            // Named as the processing named it: the cache file of the data with "rov".
            const QString project = jobPeakListCacheFile(*this, QStringLiteral("rov"));
            QuellmarkProjectPath = QFileInfo(project).isFile() ? project : QString();
        }

        if (!namesAsStored) {
            const QFileInfo info(dataPath_);
            dataFile_ = info.isDir() ? QDir(dataPath_).dirName() : info.fileName();
        }
        CurrentFileNumber = filesList_.value(QStringLiteral("file_number")).toInt();
        if (filesList_.value(QStringLiteral("intermediate")).isNull()) {
            CurrentMethodCode = QStringLiteral("?1");
            CurrentMethod = importFilterName_;
        } else {
            CurrentMethodCode = QStringLiteral("?4");
            CurrentMethod = FollowUpMethod;
        }
    } catch (const std::exception& e) {
        log(EventError, jobErrorText(QStringLiteral("(TVS1033) "), e));
        throw;  // the tick must not go on with half a current file
    }
}

void clsJob::storeFileRowAndGoOn() {
    // A row that cannot be stored still names the search: pause rather than
    // leave the job with its timer off for ever.
    if (!modGlobal_UpdateRecord(filesList_) || PleasePause) {
        PleasePause = False;
        PauseTask();
        return;
    }
    TimerOn();
}

void clsJob::EndFileSearch() {
    try {
        jobSearching_ = False;
        filesList_.setValue(QStringLiteral("sorvex_task_id"), QVariant());
        storeFileRowAndGoOn();
    } catch (const std::exception& e) {
        log(EventError, jobErrorText(QStringLiteral("(TVS1021) "), e));
        jobSearching_ = False;
        PleasePause = False;
        PauseTask();
    }
}

void clsJob::CompleteTask() {
    try {
        status_ = common::TaskStatus::Completed;
        if (!findTaskRow()) {
            // The task was deleted: there is nothing left to complete or to run.
            log(EventError, QStringLiteral("Could not find task in table when trying to complete"), false);
            removeFromCollection();
            return;
        }
        taskRow_.setValue(QStringLiteral("task_status"), common::word(*status_));
        if (!modGlobal_UpdateRecord(taskRow_)) {
            status_ = common::TaskStatus::Running;
            PauseTask();
            return;
        }
        const std::optional<bool> goOn = RunExternalAction(QStringLiteral("PostTask"));
        if (goOn && !*goOn) return;  // its halt flag cancelled the task
        log(EventInfo, QStringLiteral("Task completed"), false);
        if (!sessionID.isEmpty() && sessionID != u"X X X") jobSearchSteps().Logout(*this);
        removeFromCollection();
    } catch (const std::exception& e) {
        log(EventError, jobErrorText(QStringLiteral("(TVS1020) "), e), false);
        if (!removed_) {
            status_ = common::TaskStatus::Running;
            PauseTask();
        }
    }
}

}  // namespace tavrelsvc
