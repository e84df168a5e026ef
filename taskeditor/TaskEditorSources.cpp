#include "taskeditor/TaskEditorSources.h"

#include "clientcommon/BusyCursor.h"
#include "clientcommon/ClientClock.h"
#include "clientcommon/ComponentProbes.h"
#include "clientcommon/Globals.h"
#include "clientcommon/HttpGet.h"
#include "clientcommon/ServerLogin.h"
#include "clientcommon/TaskDatabase.h"
#include "common/TaskVocabulary.h"
#include "params/DefaultParameterSet.h"
#include "platform/AdoErrors.h"
#include "platform/AdoRecordset.h"
#include "platform/Error.h"

namespace tavrel {

namespace {

constexpr int kFileQueryTimeoutSeconds = 15;

bool ownerListFromServer() {
    BusyCursor hourglass;
    ShortHttpTimeouts shortWaits(kResetRequestTimeoutSeconds);
    return modGlobal_GetSpoofList(BaseUrl);
}

}  // namespace

QList<QPair<qint32, QString>> activeFollowerTasks(platform::AdoRecordset& tasks) {
    QList<QPair<qint32, QString>> followers;
    try {
        tasks.moveFirst();
    } catch (const platform::Error&) {
        return followers;  // an empty table
    }
    for (; !tasks.eof(); tasks.moveNext()) {
        const QVariant schedule = tasks.value(QStringLiteral("schedule_type"));
        const QVariant status = tasks.value(QStringLiteral("task_status"));
        if (schedule.isNull() || status.isNull()) continue;
        if (common::scheduleTypeOf(schedule.toString()) != common::ScheduleType::Follower ||
            common::taskStatusOf(status.toString()) == common::TaskStatus::Cancelled)
            continue;
        const QVariant label = tasks.value(QStringLiteral("task_label"));
        followers.append({common::toLong(tasks.value(QStringLiteral("task_UID"))),
                          label.isNull() ? QString() : label.toString()});
    }
    return followers;
}

ResetInputs resetInputsFromClient() {
    ResetInputs in;
    in.ownerListAvailable = ownerListFromServer();
    if (in.ownerListAvailable)
        for (const common::ServerUser& user : ServerUser) in.ownerNames << user.user_name;
    in.preferredOwner = SorvexUserName;
    in.offeredFilters = offeredImportFilters();
    TasksRecordset.requery();  // tasks written since start-up, also by other clients
    in.followerTasks = activeFollowerTasks(TasksRecordset);
    in.now = clientNow();
    in.defaultParameterSet = defaultParameterSetPath(ProgramFolder);
    return in;
}

QList<qint32> ownerIdsFromClient() {
    QList<qint32> ids;
    for (const common::ServerUser& user : ServerUser) ids << user.user_id;
    return ids;
}

StoredTask storedTaskFromDatabase(qint32 taskUid) {
    StoredTask task;
    platform::AdoRecordset& rs = TasksRecordset;
    if (rs.recordCount() > 0) {
        rs.moveFirst();
        rs.find(QStringLiteral("task_UID=") + QString::number(taskUid));
    }
    if (rs.recordCount() == 0 || rs.eof())
        throw platform::Error(platform::adoerr::NoCurrentRecord,
                              QStringLiteral("Task %1 is no longer in the task database").arg(taskUid));
    task.row = common::readTaskRow(rs);

    platform::AdoRecordset files;
    files.openQuery(TaskDbConnection,
                    QStringLiteral("select * FROM Sorvex_Tavrel_Files WHERE task_UID = ? ORDER BY file_number"),
                    {taskUid}, QString(), kFileQueryTimeoutSeconds);
    for (; !files.eof(); files.moveNext()) task.files.append(common::readTaskFileRow(files));
    return task;
}

}  // namespace tavrel
