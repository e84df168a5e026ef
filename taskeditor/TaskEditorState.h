#pragma once
// The task editor's controls as values: every control of the "&Task Editor"
// tab under its own name, with what it holds and whether it is enabled (and,
// for the groups the schedule swaps, shown). The model changes these; the
// page only mirrors them onto its widgets.
#include "params/EditorControls.h"
#include "taskeditor/ExternalProcesses.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace tavrel {

// The follower-task list: items are FollowUpTaskItems, each with its task
// number as item data (-1 for "--- None ---").
struct FollowerListControl : ListControl {
    QList<qint32> itemData;
    bool operator==(const FollowerListControl&) const = default;
};

struct ButtonControl {
    bool enabled = true;
    bool operator==(const ButtonControl&) const = default;
};

struct DateControl {
    QDateTime value;
    bool enabled = false;
    bool operator==(const DateControl&) const = default;
};

// optTaskSched, by index.
enum ScheduleOption : int { SchedNow = 0, SchedMonitor = 1, SchedTimed = 2, SchedFollower = 3 };
// cboTaskFU, by index: the stored follow_up.
enum FollowUpCondition : int { FollowUpNone = 0, FollowUpScore = 1, FollowUpProbability = 2 };

struct TaskEditorState {
    // Frame "Task".
    TextControl txtTaskLabel;
    ButtonControl cmdTaskRun;

    // Frame "Parameter set".
    TextControl txtTaskParam;

    // Frame "Data import filter".
    ListControl cboTaskFilter;
    ButtonControl cmdTaskOptions;

    // Frame "Data file list", the part of "Start now" and "Start at" tasks.
    bool fileListShown = true;
    QStringList lstTaskFiles;
    ButtonControl cmdTaskFolderAdd;
    CheckControl chkTaskMergeFiles;
    // The part of "Real-time monitor" tasks.
    bool monitorShown = false;
    TextControl txtTaskPath;
    TextControl txtTaskWild;
    CheckControl chkTaskSubDir;
    CheckControl chkTaskNewOnly;
    // The note of "Follow-up" tasks.
    bool followerNoteShown = false;

    // Frame "Schedule".
    int optTaskSched = SchedNow;
    DateControl dtpTaskDate;
    DateControl dtpTaskTime;
    ListControl cboTaskSearchPriority;

    // Frame "Follow-up".
    ListControl cboTaskFU;
    TextControl txtTaskFUScore;
    CheckControl chkTaskFUDiscard;
    CheckControl chkTaskFURepeat;
    ListControl cboTaskFUNumber;
    ListControl cboTaskFUInterval;
    CheckControl chkTaskFUMove;
    FollowerListControl cboTaskFUTask;

    // Frame(10) "Owner": enabled with its list.
    ListControl cboTaskOwner;

    // Frame "Actions".
    CheckControl chkTaskAutoPrint;
    ExternalProcessSettings externalProcesses;

    QString filterText() const { return cboTaskFilter.currentText(); }
    bool operator==(const TaskEditorState&) const = default;
};

}  // namespace tavrel
