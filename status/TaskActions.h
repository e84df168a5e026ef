#pragma once
// Pause, Resume, Cancel and Delete of one task, as the status buttons run
// them: each re-checks the owner and the open request at the moment it runs
// and tells the user why it does nothing. They work on the client's task
// database connection (TaskDbConnection).
#include <QString>

namespace tavrel {

enum class TaskAction { Pause, Resume, Cancel };

inline const QString NotValidNowMessage = QStringLiteral("Sorry, this command is not valid at the moment");

// "Could not find task when trying to <verb>" in the report box.
void showTaskNotFound(qint32 taskUid, const QString& verb);

QString requestWord(TaskAction action);  // "Pause", "Resume", "Cancel"

// True when the request was written (the service has then been woken).
// Cancel asks for confirmation first.
bool modGlobal_RequestTaskAction(qint32 taskUid, TaskAction action);

// The Delete button: owner check, the confirmation, then frmMain_DeleteTask.
bool modGlobal_AskAndDeleteTask(qint32 taskUid, const QString& peakListRoot);

// Removes the task row, its file rows and its result rows in one transaction
// (nothing while a request or an answer is open), then its peak-list cache
// folder, but only a folder that lies inside the peak-list root. True when
// the rows are gone.
bool frmMain_DeleteTask(qint32 taskUid, const QString& peakListRoot);

// The cache folder of the task if it is a real folder directly inside the
// root (no link, no label that climbs out); empty otherwise.
QString cacheFolderInsideRoot(const QString& peakListRoot, qint32 taskUid, const QString& taskLabel);

}  // namespace tavrel
