// The page's commands: New, Run, the options and external processes
// dialogs, and the reset and loading the main window calls.
#include "taskeditor/forms/TaskEditorPage.h"

#include "clientcommon/ComponentProbes.h"
#include "clientcommon/Globals.h"
#include "clientcommon/HandlerGuard.h"
#include "clientcommon/LoadPreferences.h"
#include "clientcommon/TaskDatabase.h"
#include "filteropts/SciexLibraryOptions.h"
#include "taskeditor/TaskCreation.h"
#include "taskeditor/TaskEditorSources.h"
#include "taskeditor/forms/frmActions.h"

#include <QPushButton>

namespace tavrel {

namespace {

// Run is disabled while it runs and enabled again however it ends.
class RunButtonDisabled {
public:
    explicit RunButtonDisabled(TaskEditor& editor, QPushButton* button) : editor_(editor), button_(button) {
        editor_.setRunEnabled(false);
        button_->setEnabled(false);
    }
    ~RunButtonDisabled() {
        editor_.setRunEnabled(true);
        button_->setEnabled(true);
    }

private:
    TaskEditor& editor_;
    QPushButton* button_;
};

}  // namespace

void TaskEditorPage::ResetTaskEditor() {
    // The model keeps its state until the inputs are all there.
    ResetTaskEditor(resetInputsFromClient());
}

void TaskEditorPage::ResetTaskEditor(const ResetInputs& inputs) {
    act([&] { editor_.ResetTaskEditor(inputs); });
}

void TaskEditorPage::LoadTaskIntoEditor(long taskUid) {
    // Read and checked before anything changes: a task deleted meanwhile or
    // holding a value the editor cannot show leaves the reset editor as it is.
    const StoredTask task = storedTaskFromDatabase(static_cast<qint32>(taskUid));
    TaskEditor loaded = editor_;
    loaded.LoadTaskIntoEditor(task, ownerIdsFromClient());
    editor_ = loaded;
    showState();
    showMessages();
}

void TaskEditorPage::cmdTaskNew_Click() { ResetTaskEditor(); }

void TaskEditorPage::cmdTaskRun_Click() {
    qint32 key = 0;
    {
        RunButtonDisabled busy(editor_, cmdTaskRun);
        // An unexpected failure is shown; the transaction has been rolled back.
        guardHandler(QStringLiteral("cmdTaskRun_Click"), [&] { key = frmMain_CreateTask(editor_, runContextFromClient()); });
    }
    showState();
    showMessages();
    if (key != 0) emit taskCreated(key);
}

void TaskEditorPage::cmdTaskOptions_Click() {
    const QString filter = editor_.state().filterText();
    const int index = common::importFilterIndex(filter);
    if (index == common::FilterAnalyst && SciexLibraryPresent && SciexLibraryOwnOptions) {
        // The library's own window; it reports a value it could not save itself.
        filteropts::editSciexLibraryOptions(AnalystOptionValues, AnalystOptionKeys);
        return;
    }
    // The options dialog edits ImportFilterOptions; the main window opens it.
    emit importOptionsRequested(index < 0 ? common::FilterNone : index);
}

void TaskEditorPage::cmdTaskExternal_Click() {
    frmActions dialog(editor_.state().externalProcesses, TaskDbConnection, this);
    if (dialog.exec() != QDialog::Accepted) return;
    act([&] { editor_.setExternalProcesses(dialog.settings()); });
}

}  // namespace tavrel
