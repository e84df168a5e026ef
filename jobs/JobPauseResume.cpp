// Pause, resume and cancel of a job (asked by the host's poll or by the job's
// own steps), and giving up a search the server no longer knows.
#include "common/TaskVocabulary.h"
#include "jobs/JobClock.h"
#include "jobs/JobErrors.h"
#include "jobs/JobSteps.h"
#include "jobs/clsJob.h"
#include "platform/Error.h"
#include "service/DbRows.h"
#include "service/EventLog.h"
#include "service/Globals.h"
#include "service/TaskDb.h"
#include "service/TaskDbReconnect.h"

namespace tavrelsvc {

namespace {

// Writes the task row's status and answers the request.
bool writeTaskAnswer(platform::AdoRecordset& taskRow, common::TaskStatus status) {
    taskRow.setValue(QStringLiteral("task_status"), common::word(status));
    taskRow.setValue(QStringLiteral("action_request"), QVariant());
    taskRow.setValue(QStringLiteral("action_response"), common::answer::OK);
    return modGlobal_UpdateRecord(taskRow);
}

}  // namespace

void clsJob::PauseTask() {
    // Without its task database the job cannot record a pause: it holds
    // still as it is, and goes on when the connection is back. A shut-down
    // stops jobs where they stand (a request it cut short is no reason to
    // pause): the next start takes the task up again.
    const std::optional<common::TaskStatus> before = status_;
    try {
        timer_.stop();
        if (taskDatabaseLost() || ShuttingDown) return;
        status_ = common::TaskStatus::Paused;
        // A paused task holds no Quellmark objects: the file is processed
        // anew from its first sample after the resume.
        if (jobProcessing_ || Quellmark) {
            jobImportSteps().ReleaseQuellmarkObjects(*this);
            jobProcessing_ = False;
        }
        if (!findTaskRow()) {
            log(EventError, QStringLiteral("Could not find task in table when trying to pause"), false);
            return;
        }
        if (writeTaskAnswer(taskRow_, *status_)) log(EventInfo, QStringLiteral("Task paused"), false);
        else if (taskDatabaseLost()) status_ = before;
    } catch (const std::exception& e) {
        if (noteTaskDatabaseFailure(QString::fromUtf8(e.what()))) {
            status_ = before;
            return;
        }
        log(EventError, jobErrorText(QStringLiteral("(TVS1022) "), e), false);
    }
}

void clsJob::ResumeTask() {
    try {
        status_ = common::TaskStatus::Running;
        if (!findTaskRow()) {
            log(EventError, QStringLiteral("Could not find task in table when trying to resume"), false);
            return;
        }
        if (writeTaskAnswer(taskRow_, *status_)) {
            log(EventInfo, QStringLiteral("Task resumed by user"), false);
            TimerOn();
        }
    } catch (const std::exception& e) {
        log(EventError, jobErrorText(QStringLiteral("(TVS1023) "), e), false);
    }
}

void clsJob::CancelTask() {
    try {
        status_ = common::TaskStatus::Cancelled;
        if (!findTaskRow()) {
            log(EventError, QStringLiteral("Could not find task in table when trying to cancel"), false);
            return;
        }
        if (!writeTaskAnswer(taskRow_, *status_)) return;
        log(EventInfo, QStringLiteral("Task cancelled by user"), false);
        if (!sessionID.isEmpty() && sessionID != u"X X X") jobSearchSteps().Logout(*this);
        removeFromCollection();
        jobImportSteps().CloseWatch(*this);
    } catch (const std::exception& e) {
        log(EventError, jobErrorText(QStringLiteral("(TVS1024) "), e), false);
    }
}

void clsJob::AbandonSearch() {
    try {
        jobSearching_ = False;
        log(EventError, QStringLiteral("Abandoning search"));
        filesList_.setValue(QStringLiteral("next_action"), jetZeroDate());
        storeFileRowAndGoOn();
    } catch (const std::exception& e) {
        log(EventError, jobErrorText(QStringLiteral("(TVS1065) "), e));
        jobSearching_ = False;
        PleasePause = False;
        PauseTask();
    }
}

}  // namespace tavrelsvc
