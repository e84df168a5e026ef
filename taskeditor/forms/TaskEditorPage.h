#pragma once
// The "&Task Editor" tab of the main window: the controls of the task being
// described, bound to the TaskEditor model, its Run command and the dialogs
// it opens (parameter file, import options, external processes, data files
// and folders). The main window calls the reset (start-up, Clone) and the
// loading of a stored task (Clone), and adds the node of a task Run created.
#include "taskeditor/TaskEditor.h"

#include <QWidget>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace tavrel {

class TaskEditorPage : public QWidget {
    Q_OBJECT
public:
    explicit TaskEditorPage(QWidget* parent = nullptr);

    const TaskEditor& model() const { return editor_; }

    // frmMain_ResetTaskEditor: a new default task, every list rebuilt from
    // the server's user list, the probes and the task database.
    void ResetTaskEditor();
    // The same from inputs already gathered.
    void ResetTaskEditor(const ResetInputs& inputs);
    // frmMain_LoadTaskIntoEditor, right after the reset. A task that is gone
    // or holds a value the editor cannot take throws platform::Error with the
    // editor left as the reset made it; the warnings are shown on the way.
    void LoadTaskIntoEditor(long taskUid);

    // The handlers, also for the main window's menus (Edit, Clear is
    // cmdTaskFileDelete_Click).
    void cmdTaskNew_Click();
    void cmdTaskRun_Click();
    void cmdTaskParamAdd_Click();
    void cmdTaskOptions_Click();
    void cmdTaskExternal_Click();
    void cmdTaskFileAdd_Click();
    void cmdTaskFolderAdd_Click();
    void cmdTaskBrowse_Click();
    void cmdTaskFileDelete_Click();
    // A drop from the shell: the dropped names in their order; folders are
    // taken only while "Add Folder ..." is enabled.
    void lstTaskFiles_OLEDragDrop(const QStringList& paths);
    bool acceptsDrops() const;

    // The widest list entry measured so far (with two blanks), in pixels; it
    // only grows, so the list's horizontal scroll range never narrows.
    int TaskFileListWidth = 0;

signals:
    // Run stored a new task and asked the service to run it.
    void taskCreated(long taskUid);
    // "Options ..." for a filter whose options the import-filter options
    // dialog edits (index of ImportFilterName): the main window opens it on
    // ImportFilterOptions, the working option strings of this task.
    void importOptionsRequested(int filter);

public:
    // Frame "Task".
    QLineEdit* txtTaskLabel;
    QPushButton* cmdTaskNew;
    QPushButton* cmdTaskRun;
    // Frame "Parameter set".
    QLineEdit* txtTaskParam;
    QPushButton* cmdTaskParamAdd;
    // Frame "Data import filter".
    QComboBox* cboTaskFilter;
    QPushButton* cmdTaskOptions;
    // Frame "Data file list".
    QLabel* lblTaskFiles;
    QListWidget* lstTaskFiles;
    QPushButton* cmdTaskFileAdd;
    QPushButton* cmdTaskFolderAdd;
    QPushButton* cmdTaskFileDelete;
    QCheckBox* chkTaskMergeFiles;
    QLabel* lblTaskPath;
    QLineEdit* txtTaskPath;
    QPushButton* cmdTaskBrowse;
    QLabel* lblTaskWild;
    QLineEdit* txtTaskWild;
    QCheckBox* chkTaskSubDir;
    QCheckBox* chkTaskNewOnly;
    QLabel* lblTaskFollower;
    // Frame "Schedule".
    std::array<QRadioButton*, 4> optTaskSched;
    QDateTimeEdit* dtpTaskTime;
    QDateTimeEdit* dtpTaskDate;
    QComboBox* cboTaskSearchPriority;
    // Frame "Follow-up".
    QComboBox* cboTaskFU;
    QLineEdit* txtTaskFUScore;
    QCheckBox* chkTaskFUDiscard;
    QCheckBox* chkTaskFURepeat;
    QComboBox* cboTaskFUNumber;
    QComboBox* cboTaskFUInterval;
    QCheckBox* chkTaskFUMove;
    QComboBox* cboTaskFUTask;
    // Frame(10) "Owner".
    QGroupBox* Frame10;
    QComboBox* cboTaskOwner;
    // Frame "Actions".
    QPushButton* cmdTaskExternal;
    QCheckBox* chkTaskAutoPrint;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void layOutControls();
    void connectControls();
    // Runs a step of the model, then shows its state and its messages.
    void act(const std::function<void()>& step);
    void showState();
    void showMessages();
    void addDataFiles(const QStringList& items);
    void widenFileList();

    TaskEditor editor_;
};

}  // namespace tavrel
