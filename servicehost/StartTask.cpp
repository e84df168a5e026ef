// A "Run" request: the checks 9000 to 9016 in their fixed order, then the
// answer "OK" and the job.
#include "common/ImportFilters.h"
#include "common/PeakListFolders.h"
#include "common/TaskDbTables.h"
#include "common/TaskVocabulary.h"
#include "jobs/clsJob.h"
#include "platform/AdoConnection.h"
#include "platform/AdoErrors.h"
#include "platform/AdoRecordset.h"
#include "platform/Error.h"
#include "platform/SharedFolder.h"
#include "service/DbRows.h"
#include "service/EventLog.h"
#include "service/Preferences.h"
#include "service/Probes.h"
#include "service/TaskDb.h"
#include "servicehost/JobFiling.h"
#include "servicehost/TaskAnswers.h"
#include "servicehost/TaskRowToJob.h"
#include "servicehost/frmMain.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlQuery>

namespace tavrelsvc {

namespace {

const QString kNone = QStringLiteral(" ");

// The task's own row, found by its key: a Run costs the same however many
// tasks the table holds.
void openTask(platform::AdoRecordset& rs, qint32 key) {
    rs.openQuery(TaskDbConnection, QStringLiteral("SELECT * FROM Sorvex_Tavrel_Tasks WHERE task_UID = ?"), {key},
                 common::kTasksTable, 15);
}

// The follow-up check; empty when the follower task is fine.
QString followUpError(const platform::AdoRecordset& rs) {
    const QVariant fuTask = rs.value(QStringLiteral("fu_task"));
    if (fuTask.isNull()) return common::refusal(9003);
    // A digit first and a blank later; the first piece must be a whole task number.
    static const QRegularExpression form(QStringLiteral("^[0-9].* "));
    const QString text = fuTask.toString();
    bool ok = false;
    const qint32 followerUID = text.section(QLatin1Char(' '), 0, 0).toInt(&ok);
    if (!form.match(text).hasMatch() || !ok) return common::refusal(9003);
    QSqlQuery follower = TaskDbConnection.query(
        QStringLiteral("SELECT task_status FROM Sorvex_Tavrel_Tasks WHERE task_UID = ?"), {followerUID}, 15);
    if (!follower.next()) return common::refusal(9001);
    if (common::taskStatusOf(follower.value(0).toString()) != common::TaskStatus::Running) return common::refusal(9002);
    return QString();
}

qint64 dataFileCount(qint32 taskUID) {
    // A count that cannot be read counts as none.
    try {
        QSqlQuery q = TaskDbConnection.query(
            QStringLiteral("SELECT COUNT(*) AS fileCount FROM Sorvex_Tavrel_Files WHERE task_UID=?"), {taskUID}, 15);
        if (!q.next() || q.value(0).isNull()) return 0;
        return q.value(0).toLongLong();
    } catch (const platform::Error&) {
        return 0;
    }
}

QString importFilterError(const std::optional<common::ImportFilterIndex> filter) {
    if (!filter) return QString();
    switch (*filter) {
    case common::FilterLcq: return QFileInfo(LcqPath).isFile() ? QString() : common::refusal(9007);
    case common::FilterAnalyst: return SciexLibraryAvailable ? QString() : common::refusal(9008);
    case common::FilterVoyager: return DataExplorerAvailable ? QString() : common::refusal(9012);
    case common::FilterQuellmark: return QuellmarkAvailable ? QString() : common::refusal(9014);
    case common::FilterTS2Sorvex: return TS2SorvexAvailable ? QString() : common::refusal(9016);
    case common::FilterNone:
    case common::FilterMassLynx: break;
    }
    return QString();
}

// The first check that refuses the task, or empty.
QString refusal(platform::AdoRecordset& rs, qint32 taskUID, QString* cacheFolder) {
    const QVariant status = rs.value(QStringLiteral("task_status"));
    if (status.isNull() || common::taskStatusOf(status.toString()) != common::TaskStatus::New)
        return common::refusal(9000);
    const QVariant label = rs.value(QStringLiteral("task_label"));
    const QString labelText = label.toString();
    if (labelText.contains(QLatin1Char(',')) || labelText.contains(QLatin1Char('_'))) return common::refusal(9013);

    if (toShort(modGlobal_NullToDefault(rs.value(QStringLiteral("follow_up")), 0)) == 1 &&
        toShort(modGlobal_NullToDefault(rs.value(QStringLiteral("fu_move")), 0)) == 1) {
        const QString e = followUpError(rs);
        if (!e.isEmpty()) return e;
    }

    using common::ScheduleType;
    const std::optional<ScheduleType> schedule =
        common::scheduleTypeOf(rs.value(QStringLiteral("schedule_type")).toString());
    if ((schedule == ScheduleType::Now || schedule == ScheduleType::Timed) && dataFileCount(taskUID) == 0)
        return common::refusal(9004);

    const QString parameterFile =
        localPathOf(modGlobal_NullToDefault(rs.value(QStringLiteral("parameter_set")), QString()).toString());
    if (parameterFile.isEmpty() || !QFileInfo(parameterFile).isFile()) return common::refusal(9005);

    const QString filter =
        modGlobal_NullToDefault(rs.value(QStringLiteral("import_filter")), common::NoneChosen).toString();
    if (const QString e = importFilterError(common::importFilterOf(filter)); !e.isEmpty()) return e;

    *cacheFolder = PeakListCacheFolder(taskUID, label);
    if (cacheFolder->isEmpty()) return common::refusal(9015);
    // One level only: a missing PeakListRoot is refused, not made.
    if (!QFileInfo(*cacheFolder).isDir()) platform::makeSharedFolder(*cacheFolder);
    if (!QFileInfo(*cacheFolder).isDir()) return common::refusal(9015);
    return QString();
}

}  // namespace

QString PeakListCacheFolder(qint32 taskUID, const QVariant& taskLabel) {
    const common::PeakListFolder folder = common::peakListFolder(
        PeakListRoot, taskUID, taskLabel.isNull() ? std::nullopt : std::optional<QString>(taskLabel.toString()));
    return folder.ok() ? folder.path : QString();
}

bool frmMain::frmMain_StartTask(qint32 taskUID) {
    platform::AdoRecordset rs;
    bool rowFound = false;
    bool accepted = false;
    clsJob* job = nullptr;
    try {
        openTask(rs, taskUID);
        if (rs.eof())
            throw platform::Error(platform::adoerr::NoCurrentRecord,
                                  QStringLiteral("No task row has task_UID %1").arg(taskUID));
        rowFound = true;

        QString cacheFolder;
        if (const QString refused = refusal(rs, taskUID, &cacheFolder); !refused.isEmpty()) {
            writeAnswer(rs, refused);
            return false;
        }
        // Every column is read before the answer "OK": a value that cannot be
        // taken is an error answer, never a running task without a job.
        TaskStart start = readTaskStart(rs, cacheFolder);

        // Only one writer can take the request: a task is never started twice.
        if (!takeRunRequest(TaskDbConnection, taskUID)) {
            modGlobal_WriteEventLog(EventWarning, start.settings.uID, start.settings.task_label, kNone,
                                    QStringLiteral("The Run request was taken or withdrawn meanwhile; the task is not "
                                                   "started here"));
            return false;
        }
        accepted = true;
        rs.requery();
        start.task_status = common::word(common::TaskStatus::Running);

        job = fileNewJob();
        fillJob(*job, start);
        modGlobal_WriteEventLog(EventInfo, start.settings.uID, start.settings.task_label, kNone,
                                QStringLiteral("Starting new task"));
        return true;
    } catch (const platform::Error& e) {
        modGlobal_WriteEventLog(EventError, 0, kNone, kNone, e.report(QStringLiteral("(TVS1004) ")));
        if (job) discardJob(job);
        if (rowFound) {
            try {
                if (rs.editMode() != platform::AdoRecordset::EditMode::None) rs.cancelUpdate();
                rs.requery();
                if (!rs.eof()) {
                    if (accepted) rs.setValue(QStringLiteral("task_status"), common::word(common::TaskStatus::New));
                    writeAnswer(rs, errorAnswer(e));
                }
            } catch (...) {
                // Reported above; the request stays for the next poll.
            }
        }
        return false;
    }
}

}  // namespace tavrelsvc
