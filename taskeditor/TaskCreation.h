#pragma once
// Run: the editor's task checked, stored as a new task row with its peak-list
// folder and file rows, the request "Run" put into the row and the service
// woken. Everything is stored in one transaction with the request written
// last, so the service never sees half a task: any failure rolls it all
// back, removes a folder this Run made, and leaves nothing behind.
#include "taskeditor/TaskChecks.h"
#include "taskeditor/TaskRowBuilder.h"

#include <QString>

namespace tavrel {

class TaskEditor;

struct RunContext {
    CheckContext checks;
    RowSources rows;
    QString peakListRoot;  // the PeakListRoot setting
};
RunContext runContextFromClient();

// Writes the rows of a task that passed its checks, in one transaction on
// TaskDbConnection through TasksRecordset. The key of the stored task,
// or 0 after the failure was shown (nothing stored). Errors the database
// layer throws unexpectedly are passed on, after the same clean-up.
qint32 storeNewTask(const BuiltTask& task, const QString& peakListRoot);

// frmMain_CreateTask: the checks, the rows, the follower list rebuilt when the
// new task is a follower task, and the wake-up (its failure is shown, and the
// service finds the request at its next poll). The new key, or 0 when Run
// ended without storing anything.
qint32 frmMain_CreateTask(TaskEditor& editor, const RunContext& context);

}  // namespace tavrel
