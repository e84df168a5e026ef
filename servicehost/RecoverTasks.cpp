// Start-up recovery: a job again for every task of this computer that an
// earlier run left running or paused. A row that fails is logged and left; the
// walk goes on with the next one.
#include "common/TaskDbTables.h"
#include "common/TaskVocabulary.h"
#include "jobs/clsJob.h"
#include "platform/AdoRecordset.h"
#include "platform/Error.h"
#include "platform/SharedFolder.h"
#include "service/DbRows.h"
#include "service/EventLog.h"
#include "service/TaskDb.h"
#include "servicehost/JobFiling.h"
#include "servicehost/TaskRowToJob.h"
#include "servicehost/frmMain.h"

#include <QFileInfo>

namespace tavrelsvc {

namespace {

const QString kNone = QStringLiteral(" ");

// Only the rows recovery acts on: an answer "Pending" to clear (of any task
// and computer) and the tasks left running or paused. A long history of
// finished tasks costs it nothing.
using common::Request;
using common::TaskStatus;

const QString kRecoverySql = QStringLiteral(
    "SELECT * FROM Sorvex_Tavrel_Tasks WHERE action_response = ? OR task_status = ? "
    "OR task_status = ? ORDER BY task_UID");

QVariantList recoveryParameters() {
    return {common::answer::Pending, common::word(TaskStatus::Running), common::word(TaskStatus::Paused)};
}

// Stores one column of the task's row through a recordset of that row alone:
// through the walk's own, each store would read every row of the walk again.
bool storeInRow(qint32 taskUID, const QString& column, const QVariant& value) {
    platform::AdoRecordset row;
    row.openQuery(TaskDbConnection, QStringLiteral("SELECT * FROM Sorvex_Tavrel_Tasks WHERE task_UID = ?"), {taskUID},
                  common::kTasksTable, 15);
    if (row.eof()) return false;
    row.setValue(column, value);
    return modGlobal_UpdateRecord(row);
}

void recoverRow(const platform::AdoRecordset& rs, qint32 taskUID) {
    const QString label = rs.value(QStringLiteral("task_label")).toString();
    const QString requestWord = rs.value(QStringLiteral("action_request")).toString();
    const std::optional<Request> request = common::requestOf(requestWord);
    const std::optional<TaskStatus> status = common::taskStatusOf(rs.value(QStringLiteral("task_status")).toString());

    if (rs.value(QStringLiteral("action_response")).toString() == common::answer::Pending && requestWord.isEmpty()) {
        // The empty text, not Null: the client tells a cleared answer from none.
        if (storeInRow(taskUID, QStringLiteral("action_response"), QStringLiteral("")))
            modGlobal_WriteEventLog(EventInfo, taskUID, label, kNone, QStringLiteral("Cleared action_response of Pending"));
        else
            modGlobal_WriteEventLog(EventWarning, taskUID, label, kNone,
                                    QStringLiteral("Unable to Clear action_response of Pending"));
    }
    const bool live = status == TaskStatus::Running || status == TaskStatus::Paused;
    if (!live || !isThisComputersTask(rs.value(QStringLiteral("computer_name")))) return;

    const QString folder = PeakListCacheFolder(taskUID, rs.value(QStringLiteral("task_label")));
    if (!folder.isEmpty() && !QFileInfo(folder).isDir()) platform::makeSharedFolder(folder);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        storeInRow(taskUID, QStringLiteral("task_status"), common::word(TaskStatus::Cancelled));
        modGlobal_WriteEventLog(EventError, taskUID, label, kNone, QStringLiteral("Unable to create peak list cache folder"));
        return;
    }

    const TaskStart start = readTaskStart(rs, folder);  // before the job, so a bad row makes none
    clsJob* job = fileNewJob();
    if (status == TaskStatus::Paused || request == Request::Pause) job->tmrJob().stop();
    if (status == TaskStatus::Running)
        modGlobal_WriteEventLog(EventInfo, taskUID, label, kNone, QStringLiteral("Resuming running task"));
    fillJob(*job, start);
    if (request == Request::Pause) job->PauseTask();
}

}  // namespace

void frmMain::frmMain_RecoverTasks() {
    platform::AdoRecordset rs;
    try {
        rs.openQuery(TaskDbConnection, kRecoverySql, recoveryParameters());
    } catch (const platform::Error& e) {
        modGlobal_WriteEventLog(EventError, 0, kNone, kNone, e.report(QStringLiteral("(TVS1007) ")));
        return;
    }
    // The walk's rows are read once; a row that fails is logged and the walk
    // goes on with the next one.
    for (; !rs.eof(); rs.moveNext()) {
        qint32 taskUID = 0;
        try {
            taskUID = toLong(rs.value(QStringLiteral("task_UID")));
            recoverRow(rs, taskUID);
        } catch (const platform::Error& e) {
            modGlobal_WriteEventLog(EventError, taskUID, kNone, kNone, e.report(QStringLiteral("(TVS1007) ")));
        }
    }
}

}  // namespace tavrelsvc
