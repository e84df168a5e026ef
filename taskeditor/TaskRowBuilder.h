#pragma once
// The task row and the file rows the editor's contents make, column by
// column, before anything is written: every value converted, range-checked
// and measured against its column, so that the database never refuses a row
// half-way and every engine stores the same values.
#include "clientcommon/LoadPreferences.h"
#include "common/PeakListFolders.h"
#include "common/ServerReplies.h"
#include "common/TaskRow.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace tavrel {

struct TaskEditorState;

// The client's values a task row takes besides the editor's controls.
struct RowSources {
    QString localUserName;
    QString localComputerName;
    QList<common::ServerUser> serverUsers;  // cboTaskOwner item i is entry i
    ImportFilterTable options;              // working option strings, by filter
    bool sciexOwnOptions = false;           // the Sciex library's own options object is used
    QString sciexVersion;
    QString sciexValues;
    QString sciexKeys;
    QDateTime now;  // the moment of Run: next_action of a "now" task's files
};
RowSources rowSourcesFromClient();

struct BuiltTask {
    common::TaskRow row;    // task_UID 0 until stored; task_status "new"; no request
    QStringList fileNames;  // as stored, in list order; only for "now" and "timed"
    QDateTime fileNextAction;
    // What the editor shows afterwards in the two boxes the row tidies.
    QString txtTaskPath;
    QString txtTaskWild;
};

struct BuildOutcome {
    BuiltTask task;
    QString refusal;  // empty: every value fits; else the message naming the field
    bool ok() const { return refusal.isEmpty(); }
};

// The rows for the editor's state, which the checks of Run have passed.
BuildOutcome buildTaskRows(const TaskEditorState& state, const RowSources& sources);

// The message of Run for a label common::peakListFolder refuses.
QString peakListFolderRefusal(qint32 taskUid, const QString& label, common::PeakListFolderRefusal refusal);

// The folder name <key> <label> must be a file name the file system takes,
// and one the service makes a folder for; empty when it is, else the message.
QString checkFolderName(qint32 taskUid, const QString& label);

// Text columns of Sorvex_Tavrel_Tasks and Sorvex_Tavrel_Files: their length
// in the shared schema.
int taskColumnLength(const QString& column);
int fileColumnLength(const QString& column);

}  // namespace tavrel
