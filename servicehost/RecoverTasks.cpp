// Start-up recovery: a job again for every task of this computer that an
// earlier run left running or paused. A row that fails is logged and left; the
// walk goes on with the next one.
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

bool isLiveTask(const platform::AdoRecordset& rs) {
    const QString status = rs.value(QStringLiteral("task_status")).toString();
    return status == QLatin1String("running") || status == QLatin1String("paused");
}

void recoverRow(platform::AdoRecordset& rs, qint32 taskUID) {
    const QString label = rs.value(QStringLiteral("task_label")).toString();
    const QString request = rs.value(QStringLiteral("action_request")).toString();

    if (rs.value(QStringLiteral("action_response")).toString() == QLatin1String("Pending") && request.isEmpty()) {
        // The empty text, not Null: the client tells a cleared answer from none.
        rs.setValue(QStringLiteral("action_response"), QStringLiteral(""));
        if (modGlobal_UpdateRecord(rs))
            modGlobal_WriteEventLog(EventInfo, taskUID, label, kNone, QStringLiteral("Cleared action_response of Pending"));
        else
            modGlobal_WriteEventLog(EventWarning, taskUID, label, kNone,
                                    QStringLiteral("Unable to Clear action_response of Pending"));
    }
    if (!isLiveTask(rs) || !modGlobal_IsTaskOfThisComputer(QString::number(taskUID))) return;

    const QString folder = PeakListCacheFolder(taskUID, rs.value(QStringLiteral("task_label")));
    if (!folder.isEmpty() && !QFileInfo(folder).isDir()) platform::makeSharedFolder(folder);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        rs.setValue(QStringLiteral("task_status"), common::taskstatus::Cancelled);
        modGlobal_UpdateRecord(rs);
        modGlobal_WriteEventLog(EventError, taskUID, label, kNone, QStringLiteral("Unable to create peak list cache folder"));
        return;
    }

    const TaskRowValues values = readTaskRow(rs, folder);  // before the job, so a bad row makes none
    clsJob* job = fileNewJob();
    if (values.task_status == QLatin1String("paused") || request == QLatin1String("Pause")) job->tmrJob().stop();
    if (values.task_status == QLatin1String("running"))
        modGlobal_WriteEventLog(EventInfo, taskUID, label, kNone, QStringLiteral("Resuming running task"));
    fillJob(*job, values);
    if (request == QLatin1String("Pause")) job->PauseTask();
}

}  // namespace

void frmMain::frmMain_RecoverTasks() {
    platform::AdoRecordset& rs = TasksRecordset;
    try {
        rs.requery();
    } catch (const platform::Error& e) {
        modGlobal_WriteEventLog(EventError, 0, kNone, kNone, e.report(QStringLiteral("(TVS1007) ")));
        return;
    }
    while (!rs.eof()) {
        qint32 taskUID = 0;
        try {
            taskUID = toLong(rs.value(QStringLiteral("task_UID")));
            recoverRow(rs, taskUID);
        } catch (const platform::Error& e) {
            modGlobal_WriteEventLog(EventError, taskUID, kNone, kNone, e.report(QStringLiteral("(TVS1007) ")));
            try {
                if (rs.editMode() != platform::AdoRecordset::EditMode::None) rs.cancelUpdate();
                // Stand on the failed row again (a store re-reads the table) to go on after it.
                rs.moveFirst();
                rs.find(QStringLiteral("task_UID=") + QString::number(taskUID));
            } catch (const platform::Error&) {
                return;
            }
        }
        if (rs.eof()) break;
        rs.moveNext();
    }
}

}  // namespace tavrelsvc
