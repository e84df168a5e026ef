// The request poll: every request of this computer, one row at a time in task
// order, until none is left. A loop, not a self-call, so a burst of requests
// costs no stack; a row whose answer cannot be stored is passed over for the
// rest of this poll so the loop always ends.
#include "common/ReentryGuard.h"
#include "common/TaskDbTables.h"
#include "common/TaskVocabulary.h"
#include "jobs/JobCollection.h"
#include "jobs/clsJob.h"
#include "platform/AdoRecordset.h"
#include "platform/Error.h"
#include "platform/InetWait.h"
#include "service/DbRows.h"
#include "service/EventLog.h"
#include "service/Globals.h"
#include "service/TaskDb.h"
#include "service/TaskDbReconnect.h"
#include "servicehost/JobFiling.h"
#include "servicehost/TaskAnswers.h"
#include "servicehost/TaskRowToJob.h"
#include "servicehost/frmMain.h"

#include <QSet>

namespace tavrelsvc {

namespace {

const QString kNone = QStringLiteral(" ");

using common::Request;
using common::TaskStatus;

const QString& pollSql() {
    static const QString sql =
        QStringLiteral("SELECT * FROM Sorvex_Tavrel_Tasks WHERE (action_request = ? OR action_request = ? "
                       "OR action_request = ? OR action_request = ?) AND ") +
        common::sameComputerSql(QStringLiteral("computer_name")) + QStringLiteral(" ORDER BY task_UID");
    return sql;
}

QVariantList pollParameters(const QString& computerName) {
    using common::word;
    return {word(Request::Run), word(Request::Pause), word(Request::Cancel), word(Request::Resume), computerName};
}

clsJob* requireJob(qint32 taskUID, const QString& label) {
    clsJob* job = findJobOfTask(taskUID, label);
    if (!job) throw platform::Error(5, QStringLiteral("No job is running for task %1").arg(taskUID));
    return job;
}

// A job whose tick waits for the server (this poll runs inside that wait)
// takes its pause, resume or cancel once the request has returned: changing
// it under its running step would let the step go on as if nothing happened.
bool waitsForTheServer(qint32 taskUID, const QString& label) {
    if (!platform::requestWaiting()) return false;
    const clsJob* job = findJobOfTask(taskUID, label);
    return job && job->inTick();
}

enum class Handled { Done, HeldBack };

// One request row. Errors go back to the caller, which answers them.
Handled handleRequest(frmMain& window, platform::AdoRecordset& rs, qint32 taskUID) {
    // Another word ("run" where the database ignores case) is no request of ours.
    const std::optional<Request> request =
        common::requestOf(modGlobal_NullToDefault(rs.value(QStringLiteral("action_request")), QString()).toString());
    if (!request) return Handled::Done;
    const std::optional<TaskStatus> status =
        common::taskStatusOf(modGlobal_NullToDefault(rs.value(QStringLiteral("task_status")), QString()).toString());
    const QString label = modGlobal_NullToDefault(rs.value(QStringLiteral("task_label")), QString()).toString();
    if (*request != Request::Run && waitsForTheServer(taskUID, label)) return Handled::HeldBack;
    switch (*request) {
    case Request::Run:
        window.frmMain_StartTask(taskUID);  // answers the row itself, also on failure
        break;
    case Request::Pause: {
        if (status != TaskStatus::Running) {
            writeAnswer(rs, common::refusal(9009));
            return Handled::Done;
        }
        clsJob* job = requireJob(taskUID, label);
        if (job->isBusy()) {
            modGlobal_WriteEventLog(EventInfo, job->settings.uID, job->settings.task_label, kNone,
                                    QStringLiteral("Pause pending"));
            job->PleasePause = clsJob::True;
            writeAnswer(rs, answer::Pending);
        } else {
            job->PauseTask();
        }
        break;
    }
    case Request::Resume:
        if (status != TaskStatus::Paused) {
            writeAnswer(rs, common::refusal(9010));
            return Handled::Done;
        }
        requireJob(taskUID, label)->ResumeTask();
        break;
    case Request::Cancel:
        // A running task is cancelled by pausing it first.
        if (status != TaskStatus::Paused) {
            writeAnswer(rs, common::refusal(9011));
            return Handled::Done;
        }
        requireJob(taskUID, label)->CancelTask();
        break;
    }
    return Handled::Done;
}

}  // namespace

void frmMain::tmrRefresh_Timer() {
    // A wake-up during the start-up (a wait in it serves events) is answered
    // by the first poll after it.
    if (ShuttingDown || !startedUp_) return;
    // A wake-up that arrives while a called part serves events: the running
    // poll queries again before it ends, so it sees that request too.
    const common::ReentryGuard polling(polling_);
    if (!polling.entered()) return;
    QSet<qint32> passed;
    // A connection found lost is opened again at once, and the poll goes on.
    for (int attempt = 0; attempt < 2 && !ShuttingDown; ++attempt) {
        if (!taskDatabaseReady()) break;
        try {
            pollRequests(passed);
            break;
        } catch (const platform::Error& e) {
            if (noteTaskDatabaseFailure(e.description())) continue;
            modGlobal_WriteEventLog(EventError, 0, kNone, kNone, e.report(QStringLiteral("(TVS1003) ")));
            break;
        } catch (const std::exception& e) {
            modGlobal_WriteEventLog(EventError, 0, kNone, kNone,
                                    QStringLiteral("(TVS1003) 51: ") + QString::fromLocal8Bit(e.what()));
            break;
        } catch (...) {
            modGlobal_WriteEventLog(EventError, 0, kNone, kNone, QStringLiteral("(TVS1003) 51: Internal error"));
            break;
        }
    }
}

void frmMain::pollRequests(QSet<qint32>& passed) {
    while (!ShuttingDown) {
        platform::AdoRecordset rs;
        rs.openQuery(TaskDbConnection, pollSql(), pollParameters(LocalComputerName), common::kTasksTable, 15);
        qint32 taskUID = 0;
        for (; !rs.eof(); rs.moveNext()) {
            taskUID = toLong(rs.value(QStringLiteral("task_UID")));
            if (!passed.contains(taskUID)) break;
        }
        if (rs.eof()) break;
        passed.insert(taskUID);
        if (!modGlobal_IsTaskOfThisComputer(QString::number(taskUID))) {
            if (taskDatabaseLost()) return;
            continue;
        }
        try {
            if (handleRequest(*this, rs, taskUID) == Handled::HeldBack) pollAgainSoon();
        } catch (const platform::Error& e) {
            // The request stays when the connection went: it is answered once it is back.
            if (noteTaskDatabaseFailure(e.description())) {
                passed.remove(taskUID);
                throw;
            }
            modGlobal_WriteEventLog(EventError, 0, kNone, kNone, e.report(QStringLiteral("(TVS1003) ")));
            answerFailure(rs, e);
        }
    }
}

bool frmMain::taskDatabaseReady() {
    switch (reconnectTaskDatabase()) {
    case Reconnect::Connected:
        return true;
    case Reconnect::Back:
        break;
    case Reconnect::StillLost:
        return false;
    case Reconnect::TakenOver: {
        const QString message = QStringLiteral("Another Sorvex Tavrel Service took this task database for computer ") +
                                LocalComputerName.toUpper() + QStringLiteral(" while its connection was lost; this one "
                                                                             "stops");
        modGlobal_WriteEventLog(EventError, 0, kNone, kNone, message);
        frmMain_ServiceStopRequest();
        return false;
    }
    }
    // Jobs that held still while the connection was lost go on; a job in
    // the middle of its tick sets its own timer when the tick ends.
    for (clsJob* job : JobCollection.items())
        if (job->taskStatus() == TaskStatus::Running && !job->inTick() && !job->tmrJob().isActive()) job->TimerOn();
    return true;
}

}  // namespace tavrelsvc
