#include "DemoTask.h"

#include "common/PeakListFolders.h"
#include "clientcommon/TaskDbRows.h"
#include "common/TaskDbTables.h"
#include "common/TaskVocabulary.h"
#include "common/UncName.h"
#include "platform/AdoCommand.h"
#include "platform/AdoConnection.h"
#include "platform/AdoRecordset.h"
#include "platform/Error.h"
#include "platform/SharedFolder.h"
#include "platform/SystemNames.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

#include <cstdio>

namespace demo {

namespace {

const QString kLabel = QStringLiteral("Demo inbox");
const QString& kNone = common::NoneChosen;

// A task of this computer that still runs or waits to run on the folder.
long liveTaskOn(platform::AdoConnection& db, const QString& storedFolder) {
    QSqlQuery q = db.query(QStringLiteral("SELECT task_UID FROM Sorvex_Tavrel_Tasks WHERE monitor_directory = ? AND ") +
                               common::sameComputerSql(QStringLiteral("computer_name")) +
                               QStringLiteral(" AND task_status <> ? AND task_status <> ?"),
                           {storedFolder, platform::computerName(), common::word(common::TaskStatus::Cancelled),
                            common::word(common::TaskStatus::Completed)});
    return q.next() ? q.value(0).toLongLong() : 0;
}

// The columns in the order the Task Editor's Run assigns them, for a
// "Real-time monitor" task without follow-up, filter or external commands.
// Columns the client leaves Null are not assigned.
void assignTaskRow(platform::AdoRecordset& tasks, const QString& storedFolder, const QString& parameterFile) {
    const QList<QPair<const char*, QVariant>> columns = {
        {"user_name", platform::userName()},
        {"computer_name", platform::computerName()},
        {"follow_up", 0},
        {"fu_interval", common::word(common::FollowUpInterval::Days)},
        {"fu_number", 1},
        {"fu_task", kNone},
        {"import_filter", kNone},
        {"fu_discard", 0},
        {"fu_move", 0},
        {"fu_repeat", 0},
        {"new_files_only", 0},
        {"sub_directories", 0},
        {"merge_data_files", 0},
        {"search_priority", 0},
        {"monitor_directory", storedFolder},
        {"start_time", QDateTime::currentDateTime()},
        {"schedule_type", common::word(common::ScheduleType::Monitor)},
        {"fu_score", 0},
        {"task_label", kLabel},
        {"parameter_set", common::modUncName_GetUncPath(parameterFile)},
        {"monitor_filename", QStringLiteral("*.*")},
        {"task_status", common::word(common::TaskStatus::New)},
        {"auto_print", 0},
    };
    for (const auto& [name, value] : columns) tasks.setValue(QString::fromLatin1(name), value);
}

}  // namespace

InboxTask addInboxTask(platform::AdoConnection& db, const QString& inbox, const QString& parameterFile,
                       const QString& peakListRoot) {
    InboxTask task;
    task.label = kLabel;
    try {
        const QString storedFolder = common::modUncName_GetUncPath(inbox);
        if ((task.key = liveTaskOn(db, storedFolder)) != 0) {
            task.existed = true;
            return task;
        }
        platform::AdoRecordset tasks;
        tasks.openTable(db, common::kTasksTable);
        tasks.addNew();
        assignTaskRow(tasks, storedFolder, parameterFile);
        const platform::AdoCommand nextKey(db, common::kNextTaskKeySql);
        task.key = tavrel::modGlobal_AddRowWithNewKey(tasks, nextKey, QStringLiteral("task_UID"));
        if (task.key == 0) return task;  // reported by the helper

        const QString cache = common::PeakListCacheFolder(peakListRoot, static_cast<qint32>(task.key), kLabel);
        platform::makeSharedFolder(cache);
        if (!QFileInfo(cache).isDir()) {
            std::fprintf(stderr, "Unable to create required directory %s\n", qPrintable(cache));
            task.key = 0;
            return task;
        }

        // The request, as a second change of the stored row.
        tasks.requery();
        tasks.find(QStringLiteral("task_UID=") + QString::number(task.key));
        if (tasks.eof()) {
            std::fprintf(stderr, "Could not find task when trying to run\n");
            task.key = 0;
            return task;
        }
        tasks.setValue(QStringLiteral("action_request"), common::word(common::Request::Run));
        tasks.setValue(QStringLiteral("action_response"), QVariant());
        if (!tavrel::modGlobal_UpdateRecord(tasks)) task.key = 0;
    } catch (const platform::Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.report(QStringLiteral("Demo task: "))));
        task.key = 0;
    }
    return task;
}

QList<QPair<QString, QByteArray>> samplePeakLists() {
    QList<QPair<QString, QByteArray>> lists;
    for (int file = 1; file <= 3; ++file) {
        QByteArray text;
        for (int spectrum = 1; spectrum <= 2 + file; ++spectrum) {
            const int n = file * 10 + spectrum;
            text += "BEGIN IONS\r\nTITLE=Sample " + QByteArray::number(file) + " spectrum " +
                    QByteArray::number(spectrum) + "\r\nPEPMASS=" + QByteArray::number(400.0 + n * 37.25, 'f', 2) +
                    "\r\nCHARGE=2+\r\n";
            for (int peak = 1; peak <= 6; ++peak)
                text += QByteArray::number(100.0 + peak * 61.5 + n * 3.125, 'f', 3) + ' ' +
                        QByteArray::number(10 + (n * peak) % 90) + "\r\n";
            text += "END IONS\r\n";
        }
        lists.append({QStringLiteral("sample%1.qpl").arg(file), text});
    }
    return lists;
}

}  // namespace demo
