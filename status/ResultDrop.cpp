#include "status/ResultDrop.h"

#include "clientcommon/ClientClock.h"
#include "common/EventLogLine.h"
#include "clientcommon/EventMessage.h"
#include "common/ImportFilters.h"
#include "clientcommon/TaskDatabase.h"
#include "clientcommon/TaskDbRows.h"
#include "common/TaskVocabulary.h"
#include "common/UncName.h"
#include "status/StatusNodes.h"
#include "status/TaskStates.h"
#include "platform/AdoRecordset.h"
#include "platform/MessageBox.h"

#include <QFileInfo>
#include <QSqlQuery>

namespace tavrel {

namespace {

const QString kTitle = QStringLiteral("Sorvex Tavrel");
const QString kNullText = QStringLiteral("<Null>");  // stands for an empty column while the row is copied

struct DropTask {
    QString computer;
    bool mergesFiles = false;
    QString importFilter;
    QString status;
    QString label;
};

bool readDropTask(qint32 uid, DropTask* task) {
    QSqlQuery q = TaskDbConnection.query(
        QStringLiteral("SELECT computer_name, merge_data_files, import_filter, task_status, task_label "
                       "FROM Sorvex_Tavrel_Tasks WHERE task_UID = ?"),
        {uid}, kStatusQueryTimeoutSeconds);
    if (!q.next()) return false;
    *task = {q.value(0).toString(), q.value(1).toLongLong() != 0,
             q.value(2).isNull() ? common::NoneChosen : q.value(2).toString(), q.value(3).toString(),
             q.value(4).toString()};
    return true;
}

// The tree's tag holds the status the follower had when its node was made; a
// follower that has ended since would never search the file.
bool followerEnded(const DropTask& target) {
    const std::optional<common::TaskStatus> status = common::taskStatusOf(target.status);
    return status == common::TaskStatus::Cancelled || status == common::TaskStatus::Completed;
}

void report(const QString& message) {
    modGlobal_ShowEventMessage(common::EventError, 0, QStringLiteral(" "), QStringLiteral(" "), message);
}

QString orNullText(const QVariant& v) { return v.isNull() ? kNullText : v.toString(); }

// Filters whose data files are peak lists already need no cached one.
bool needsCachedPeakList(const QString& importFilter) {
    return importFilter != common::filtername::None && importFilter != common::filtername::MassLynx;
}

}  // namespace

QString dragIconFor(const QString& draggedKey, const QString& draggedParentKey, const QString& targetKey,
                    const QString& targetTag) {
    if (targetKey.isEmpty() || targetKey == draggedKey) return imagekey::DragNowhere;
    if (targetKey == draggedParentKey || !targetKey.startsWith(QStringLiteral("task")) ||
        !targetTag.startsWith(common::word(common::ScheduleType::Follower)) ||
        targetTag.endsWith(common::word(common::TaskStatus::Cancelled)))
        return imagekey::DragRefused;
    return imagekey::DragAccepted;
}

bool modGlobal_DropResultOnTask(qint32 resultNumber, qint32 targetTaskUid) {
    QSqlQuery result = TaskDbConnection.query(
        QStringLiteral("SELECT input_data_file, task_UID FROM Sorvex_Tavrel_Results WHERE result_number = ?"),
        {resultNumber}, kStatusQueryTimeoutSeconds);
    if (!result.next() || result.value(0).isNull()) return false;
    const QString dataFile = result.value(0).toString();
    const qint32 sourceUid = result.value(1).toInt();
    result.finish();

    DropTask source, target;
    if (!readDropTask(sourceUid, &source) || !readDropTask(targetTaskUid, &target)) return false;
    if (followerEnded(target)) {
        platform::MsgBox(QStringLiteral("Cannot drop a result onto task %1: %2, which is no longer running (%3)")
                             .arg(targetTaskUid)
                             .arg(target.label, target.status),
                         platform::vbOKOnly, kTitle);
        return false;
    }
    if (source.computer != target.computer && !dataFile.startsWith(QStringLiteral("\\\\"))) {
        platform::MsgBox(QStringLiteral("Source and target tasks are on different machines,\r\n"
                                        "but data file is not specified by a UNC path."),
                         platform::vbOKOnly, kTitle);
        return false;
    }
    if (target.mergesFiles) {
        platform::MsgBox(QStringLiteral("Cannot drop additional file onto a task that merges a batch of files into a "
                                        "single search"),
                         platform::vbOKOnly, kTitle);
        return false;
    }

    platform::AdoRecordset files;
    files.openQuery(TaskDbConnection,
                    QStringLiteral("SELECT * FROM Sorvex_Tavrel_Files WHERE task_UID = ? AND file_name = ?"),
                    {sourceUid, dataFile}, QStringLiteral("Sorvex_Tavrel_Files"), kStatusQueryTimeoutSeconds);
    if (files.eof()) {
        report(QStringLiteral("Cannot find ") + dataFile + QStringLiteral(" in task database"));
        return false;
    }
    const QString comment = orNullText(files.value(QStringLiteral("file_comment")));
    const QString peakList = orNullText(files.value(QStringLiteral("peak_list")));
    const QString intermediate = orNullText(files.value(QStringLiteral("intermediate")));
    if (intermediate == kNullText) {
        if (needsCachedPeakList(source.importFilter) && peakList == kNullText) {
            report(QStringLiteral("No cached peak list available for ") + dataFile);
            return false;
        }
        if (peakList != kNullText && !QFileInfo::exists(common::modUncName_GetLocalPathFromUnc(peakList))) {
            report(QStringLiteral("Cached peak list for ") + dataFile + QStringLiteral(" has been deleted"));
            return false;
        }
    }

    files.addNew();
    files.setValue(QStringLiteral("task_UID"), targetTaskUid);
    files.setValue(QStringLiteral("next_action"), clientNow());
    files.setValue(QStringLiteral("file_name"), dataFile);
    if (comment != kNullText) files.setValue(QStringLiteral("file_comment"), comment);
    if (peakList != kNullText) files.setValue(QStringLiteral("peak_list"), peakList);
    if (intermediate != kNullText) files.setValue(QStringLiteral("intermediate"), intermediate);
    return modGlobal_AddRowWithNewKey(files, MaxFileNumberCommand, QStringLiteral("file_number")) != 0;
}

}  // namespace tavrel
