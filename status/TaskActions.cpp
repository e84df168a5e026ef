#include "status/TaskActions.h"

#include "common/EventLogLine.h"
#include "clientcommon/EventMessage.h"
#include "clientcommon/Globals.h"
#include "clientcommon/ServiceWakeUp.h"
#include "clientcommon/TaskDatabase.h"
#include "clientcommon/TaskDbRows.h"
#include "common/TaskVocabulary.h"
#include "status/RequestExchange.h"
#include "status/TaskStates.h"
#include "platform/MessageBox.h"

namespace tavrel {

namespace {

const QString kTitle = QStringLiteral("Sorvex Tavrel");

// The row must exist before its owner can be asked for.
bool ownedByThisUser(qint32 taskUid, const QString& verb) {
    TaskState state;
    if (!readTaskState(TaskDbConnection, taskUid, &state)) {
        showTaskNotFound(taskUid, verb);
        return false;
    }
    return modGlobal_IsTaskOwner(QString::number(taskUid), true, LocalUserName, LocalComputerName);
}

}  // namespace

void showTaskNotFound(qint32 taskUid, const QString& verb) {
    modGlobal_ShowEventMessage(common::EventError, taskUid, QString(), QStringLiteral(" "),
                               QStringLiteral("Could not find task when trying to ") + verb);
}

QString requestWord(TaskAction action) {
    switch (action) {
        case TaskAction::Pause: return common::word(common::Request::Pause);
        case TaskAction::Resume: return common::word(common::Request::Resume);
        case TaskAction::Cancel: return common::word(common::Request::Cancel);
    }
    return QString();
}

bool modGlobal_RequestTaskAction(qint32 taskUid, TaskAction action) {
    const QString word = requestWord(action);
    const QString verb = word.toLower();
    if (!ownedByThisUser(taskUid, verb)) return false;
    if (action == TaskAction::Cancel &&
        platform::MsgBox(QStringLiteral("Are you sure you wish to cancel this task?\r\n(a cancelled task cannot be resumed)"),
                         platform::vbYesNo, kTitle) != platform::vbYes)
        return false;
    switch (writeTaskRequest(TaskDbConnection, taskUid, word)) {
        case RequestOutcome::Missing: showTaskNotFound(taskUid, verb); return false;
        case RequestOutcome::Busy: platform::MsgBox(NotValidNowMessage, platform::vbOKOnly, kTitle); return false;
        case RequestOutcome::Written: break;
    }
    // A failed wake-up is reported there; the service finds the request at its next poll.
    modGlobal_NotifyService(false);
    return true;
}

bool modGlobal_AskAndDeleteTask(qint32 taskUid, const QString& peakListRoot) {
    if (!ownedByThisUser(taskUid, QStringLiteral("delete"))) return false;
    const QString question = QStringLiteral(
        "Permanently delete this task and associated results\r\n"
        "from the Sorvex Tavrel database?\r\n"
        "\r\n"
        "(This will not delete the result files on the Sorvex Server,\r\n"
        "but any peak list files or associated Sorvex Quellmark\r\n"
        "project files created by this task will be deleted)");
    if (platform::MsgBox(question, platform::vbYesNo, kTitle) != platform::vbYes) return false;
    return frmMain_DeleteTask(taskUid, peakListRoot);
}

}  // namespace tavrel
