#pragma once
// Where the editor's reset and the loading of a stored task take their
// values in the client: the server's user list, the start-up probes, the
// shared recordset over the tasks table and the task's file rows.
#include "taskeditor/TaskEditor.h"

namespace platform {
class AdoRecordset;
}

namespace tavrel {

// How long each of the reset's two server requests may take: the window
// waits for them, so an unreachable server must not hold it for the long
// time-out of a search.
inline constexpr int kResetRequestTimeoutSeconds = 15;

// The reset's inputs: the user list (under the hourglass, with short
// time-outs), the filters on offer, the active follower tasks of the
// requeried TasksRecordset, the clock and the default parameter set.
ResetInputs resetInputsFromClient();

// The user ids of ServerUser, by index.
QList<qint32> ownerIdsFromClient();

// The follower tasks other tasks may pass data to: "follower" rows that are
// not "cancelled" (Null in either column does not qualify), from the
// recordset's first row in its order. The recordset is not requeried.
QList<QPair<qint32, QString>> activeFollowerTasks(platform::AdoRecordset& tasks);

// The stored task and its file rows, from TasksRecordset (requeried by the
// reset just before) and a query of its own. A task that is no longer there,
// and a row the task reader refuses, are thrown as platform::Error.
StoredTask storedTaskFromDatabase(qint32 taskUid);

}  // namespace tavrel
