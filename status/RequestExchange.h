#pragma once
// The client's side of the request exchange in action_request and
// action_response of a task row. Every write is a keyed conditional update:
// the row changes only while its request and answer are still what the
// client saw, so a request of another client or an answer the service writes
// meanwhile is never overwritten.
#include "status/TaskStates.h"

#include <QList>
#include <QString>

namespace platform {
class AdoConnection;
}

namespace tavrel {

enum class RequestOutcome {
    Written,  // the request stands in the row with the answer cleared
    Busy,     // a request or an answer was still open: nothing written
    Missing,  // no such task
};

// Writes "Pause", "Resume" or "Cancel" with action_response Null.
RequestOutcome writeTaskRequest(platform::AdoConnection& connection, qint32 taskUid, const QString& word);

// The refresh's part of the exchange for the tasks of this computer whose
// request is empty: "OK" is cleared; any other answer but "Pending" is shown
// once ("Service reports unexpected error with task ...") and the task
// becomes "cancelled". Rows of other computers are never changed. Answers the
// number of rows changed. Database failures are thrown.
int completeTaskAnswers(platform::AdoConnection& connection, const QList<TaskState>& rows,
                        const QString& localComputerName);

QString unexpectedAnswerText(const TaskState& row);

}  // namespace tavrel
