#include "taskeditor/TaskCreation.h"

#include "common/EventLogLine.h"
#include "clientcommon/EventMessage.h"
#include "clientcommon/Globals.h"
#include "common/PeakListFolders.h"
#include "clientcommon/ServiceWakeUp.h"
#include "clientcommon/TaskDatabase.h"
#include "clientcommon/TaskDbRows.h"
#include "common/TaskDbTables.h"
#include "common/TaskVocabulary.h"
#include "platform/AdoConnection.h"
#include "platform/AdoRecordset.h"
#include "platform/MessageBox.h"
#include "platform/SharedFolder.h"
#include "taskeditor/TaskEditor.h"
#include "taskeditor/TaskEditorSources.h"

#include <QDir>
#include <QFileInfo>

namespace tavrel {

namespace {

constexpr int kFileRowsTimeoutSeconds = 15;

// Puts back what a Run that does not finish leaves: declared before the
// transaction, so it runs after the rollback. The shared recordset is read
// again (it may hold the row that was rolled back) and a folder this Run made
// is removed again (it is still empty).
class RunCleanup {
public:
    ~RunCleanup() {
        if (done_) return;
        if (!madeFolder_.isEmpty()) QDir().rmdir(madeFolder_);
        try {
            if (TasksRecordset.isOpen()) TasksRecordset.requery();
        } catch (const platform::Error&) {
            // Whoever reads it next requeries it again.
        }
    }
    void madeFolder(const QString& folder) { madeFolder_ = folder; }
    void done() { done_ = true; }

private:
    QString madeFolder_;
    bool done_ = false;
};

void show(const QString& text) { platform::MsgBox(text, platform::vbOKOnly, QStringLiteral("Sorvex Tavrel")); }

}  // namespace

RunContext runContextFromClient() { return {checkContextFromClient(), rowSourcesFromClient(), PeakListRoot}; }

qint32 storeNewTask(const BuiltTask& task, const QString& peakListRoot) {
    RunCleanup cleanup;
    platform::TransactionGuard transaction(TaskDbConnection);

    platform::AdoRecordset& tasks = TasksRecordset;
    tasks.addNew();
    common::assignNewTaskRow(tasks, task.row);
    const qint32 key = static_cast<qint32>(modGlobal_AddRowWithNewKey(tasks, MaxTaskUidCommand, QStringLiteral("task_UID")));
    if (key == 0) return 0;  // reported; the new row is cancelled
    const QString label = task.row.task_label;

    const common::PeakListFolder cache = common::peakListFolder(peakListRoot, key, label);
    if (!cache.ok()) {
        show(peakListFolderRefusal(key, label, *cache.refusal));
        return 0;
    }
    const QString& folder = cache.path;
    if (!QFileInfo(folder).isDir()) {
        // The service writes the task's peak lists into it under its own account.
        if (platform::makeSharedFolder(folder).isEmpty()) cleanup.madeFolder(folder);
        if (!QFileInfo(folder).isDir()) {
            show(QStringLiteral("Unable to create required directory ") + folder);
            return 0;
        }
    }

    if (!task.fileNames.isEmpty()) {
        platform::AdoRecordset files;
        files.openQuery(TaskDbConnection, QStringLiteral("select * FROM Sorvex_Tavrel_Files WHERE task_UID = ?"),
                        {key}, common::kFilesTable, kFileRowsTimeoutSeconds);
        for (const QString& name : task.fileNames) {
            common::TaskFileRow row;
            row.task_UID = key;
            row.next_action = task.fileNextAction;
            row.file_name = name;
            files.addNew();
            common::assignNewTaskFileRow(files, row);
            if (modGlobal_AddRowWithNewKey(files, MaxFileNumberCommand, QStringLiteral("file_number")) == 0) return 0;
        }
    }

    // The request last: until the commit the service sees none of it.
    tasks.moveFirst();
    tasks.find(QStringLiteral("task_UID=") + QString::number(key));
    if (tasks.eof()) {
        modGlobal_ShowEventMessage(common::EventError, key, label, QStringLiteral(" "),
                                   QStringLiteral("Could not find task when trying to run"));
        return 0;
    }
    tasks.setValue(QStringLiteral("action_request"), common::word(common::Request::Run));
    tasks.setValue(QStringLiteral("action_response"), QVariant());
    if (!modGlobal_UpdateRecord(tasks)) return 0;  // reported

    transaction.commit();
    cleanup.done();
    return key;
}

qint32 frmMain_CreateTask(TaskEditor& editor, const RunContext& context) {
    if (!checkTaskForRun(editor, context.checks)) return 0;
    const BuildOutcome built = buildTaskRows(editor.state(), context.rows);
    if (!built.ok()) {
        show(built.refusal);
        return 0;
    }
    editor.setText(&TaskEditorState::txtTaskPath, built.task.txtTaskPath);
    editor.setText(&TaskEditorState::txtTaskWild, built.task.txtTaskWild);

    const qint32 key = storeNewTask(built.task, context.peakListRoot);
    if (key == 0) return 0;

    // Other tasks may pass their data to a new follower task at once.
    if (built.task.row.schedule_type == common::word(common::ScheduleType::Follower))
        editor.rebuildFollowerList(activeFollowerTasks(TasksRecordset));
    modGlobal_NotifyService(false);
    return key;
}

}  // namespace tavrel
