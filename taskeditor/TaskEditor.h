#pragma once
// The task editor without its widgets: the state of every control, the rules
// that tie them together, the reset to a new task and the loading of a stored
// one. A value set here by code runs the control's own rule whenever it
// actually changes, exactly as a user's change would; the rules rely on this
// chaining (a filter that forbids the schedule switches it, and so on).
#include "common/TaskRow.h"
#include "params/EditorMessage.h"
#include "taskeditor/TaskEditorState.h"

#include <QList>
#include <QPair>

namespace tavrel {

// What a reset takes from the server, the start-up probes and the task
// database (resetInputsFromClient() gathers them for the client).
struct ResetInputs {
    bool ownerListAvailable = false;  // the server's user list could be had
    QStringList ownerNames;           // in list order: entry i is ServerUser(i)
    QString preferredOwner;           // SorvexUserName
    QList<int> offeredFilters;        // indexes of ImportFilterName, in order
    QList<QPair<qint32, QString>> followerTasks;  // active follower tasks: key, label ("" for Null)
    QDateTime now;
    QString defaultParameterSet;      // the program folder's "default.par"
};

// What loading a stored task takes besides its rows.
struct StoredTask {
    common::TaskRow row;
    QList<common::TaskFileRow> files;  // in file_number order
};

class TaskEditor {
public:
    TaskEditor();

    const TaskEditorState& state() const { return state_; }
    // Messages collected since the last call, in the order they arose.
    EditorMessages takeMessages();

    // The editor's reset: every control to a new task, every list rebuilt.
    void ResetTaskEditor(const ResetInputs& inputs);
    // The second half of Clone, right after a reset. The row is checked before
    // anything changes: an unexpected value throws platform::Error and leaves
    // the editor as the reset left it. Values that no longer fit a list give a
    // warning each (takeMessages) and keep the reset's choice.
    void LoadTaskIntoEditor(const StoredTask& task, const QList<qint32>& ownerIds);

    // What the user does; each runs the control's rule when its value changes.
    void chooseFilter(int index);
    void chooseSchedule(int option);
    void chooseFollowUp(int index);
    void clickRepeat(bool checked);
    void clickMove(bool checked);
    void setCheck(CheckControl TaskEditorState::*control, bool checked);
    void setText(TextControl TaskEditorState::*control, const QString& text);
    void choose(ListControl TaskEditorState::*control, int index);
    void chooseFollower(int index);
    void setDate(DateControl TaskEditorState::*control, const QDateTime& value);
    void setExternalProcesses(const ExternalProcessSettings& settings);

    // The data-file list (the page measures the widths).
    void addDataFile(const QString& item);
    void removeDataFiles(const QList<int>& selectedRows);
    void setMonitorFolder(const QString& folder);
    void setParameterFile(const QString& path);
    void setRunEnabled(bool enabled);
    // Run has created a follower task: the follower list is rebuilt with the
    // remembered selection (an index that no longer exists is dropped).
    void rebuildFollowerList(const QList<QPair<qint32, QString>>& followerTasks);

private:
    // The rules (handlers of the controls).
    void cboTaskFilter_Click();
    void optTaskSched_Click();
    void cboTaskFU_Click();
    void chkTaskFURepeat_Click();
    void chkTaskFUMove_Click();

    // Values set by code: the control's rule runs when the value changes.
    void setFilterIndex(int index);
    void setSchedule(int option);
    void setFollowUpIndex(int index);
    void setRepeat(bool checked);
    void setMove(bool checked);
    void setNewOnly(bool checked);
    // A list emptied and filled again, then its choice made (which runs the
    // rule, as the choice moves from "none").
    void refill(ListControl TaskEditorState::*control, const QStringList& items, int select);

    void fillFollowerList(const QList<QPair<qint32, QString>>& followerTasks);
    void say(const QString& text);

    TaskEditorState state_;
    EditorMessages messages_;
};

// The items of cboTaskFU, by FollowUpCondition.
QStringList followUpConditionItems();

// A follower list item: the key, one blank and the label.
QString followUpTaskItem(qint32 taskUid, const QString& label);
// The form of such an item: a digit first and a blank later.
bool looksLikeFollowUpTaskItem(const QString& text);

}  // namespace tavrel
