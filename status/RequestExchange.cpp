#include "status/RequestExchange.h"

#include "common/TaskVocabulary.h"
#include "platform/AdoConnection.h"
#include "platform/MessageBox.h"

#include <QSqlQuery>

namespace tavrel {

namespace {

// "Empty" as the exchange counts it: Null or the empty text.
const QString kRequestEmpty = QStringLiteral("(action_request IS NULL OR action_request = '')");
const QString kResponseEmpty = QStringLiteral("(action_response IS NULL OR action_response = '')");

bool taskExists(platform::AdoConnection& connection, qint32 taskUid) {
    QSqlQuery q = connection.query(QStringLiteral("SELECT COUNT(*) FROM Sorvex_Tavrel_Tasks WHERE task_UID = ?"),
                                   {taskUid}, kStatusQueryTimeoutSeconds);
    return q.next() && q.value(0).toLongLong() > 0;
}

// Clears the answer that was read (and cancels the task with it) unless the
// row has moved on since.
bool clearAnswer(platform::AdoConnection& connection, const TaskState& row, bool cancel) {
    const QString set = cancel ? QStringLiteral("SET action_response = NULL, task_status = ? ")
                               : QStringLiteral("SET action_response = NULL ");
    QVariantList params;
    if (cancel) params << common::word(common::TaskStatus::Cancelled);
    params << row.uid << row.response;
    return connection.execute(QStringLiteral("UPDATE Sorvex_Tavrel_Tasks ") + set +
                                  QStringLiteral("WHERE task_UID = ? AND action_response = ? AND ") + kRequestEmpty,
                              params, kStatusQueryTimeoutSeconds) > 0;
}

}  // namespace

RequestOutcome writeTaskRequest(platform::AdoConnection& connection, qint32 taskUid, const QString& word) {
    const int changed = connection.execute(
        QStringLiteral("UPDATE Sorvex_Tavrel_Tasks SET action_request = ?, action_response = NULL WHERE task_UID = ? "
                       "AND ") + kRequestEmpty + QStringLiteral(" AND ") + kResponseEmpty,
        {word, taskUid}, kStatusQueryTimeoutSeconds);
    if (changed > 0) return RequestOutcome::Written;
    return taskExists(connection, taskUid) ? RequestOutcome::Busy : RequestOutcome::Missing;
}

QString unexpectedAnswerText(const TaskState& row) {
    return QStringLiteral("Service reports unexpected error with task ") + QString::number(row.uid) +
           QStringLiteral(": ") + row.label + QStringLiteral("\r\n") + row.response +
           QStringLiteral("\r\nTask will be cancelled");
}

int completeTaskAnswers(platform::AdoConnection& connection, const QList<TaskState>& rows,
                        const QString& localComputerName) {
    int changed = 0;
    for (const TaskState& row : rows) {
        if (!row.request.isEmpty() || row.response.isEmpty() || !row.isLocal(localComputerName)) continue;
        if (row.response == common::answer::Pending) continue;  // the pause waits for the running step
        const bool ok = row.response == common::answer::OK;
        if (!clearAnswer(connection, row, !ok)) continue;
        ++changed;
        // Only the client whose update took the answer reports it, so a
        // second client of this computer does not show it again.
        if (!ok) platform::MsgBox(unexpectedAnswerText(row), platform::vbOKOnly, QStringLiteral("Sorvex Tavrel"));
    }
    return changed;
}

}  // namespace tavrel
