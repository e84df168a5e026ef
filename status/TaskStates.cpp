#include "status/TaskStates.h"

#include "status/StatusNodes.h"
#include "platform/AdoConnection.h"

#include <QSqlQuery>
#include <QStringList>

namespace tavrel {

namespace {

constexpr qsizetype kKeysPerStatement = 500;

const QString kColumns = QStringLiteral(
    "SELECT task_UID, task_label, task_status, schedule_type, computer_name, action_request, action_response "
    "FROM Sorvex_Tavrel_Tasks");

TaskState stateOf(const QSqlQuery& q) {
    TaskState s;
    s.uid = q.value(0).toInt();
    s.label = q.value(1).toString();
    s.status = q.value(2).toString();
    s.schedule = q.value(3).toString();
    s.computerNull = q.value(4).isNull();
    s.computer = q.value(4).toString();
    s.request = q.value(5).toString();
    s.response = q.value(6).toString();
    return s;
}

}  // namespace

bool TaskState::pending() const { return isPendingExchange(request, response); }

bool TaskState::isLocal(const QString& localComputerName) const {
    return !computerNull && computer.compare(localComputerName, Qt::CaseInsensitive) == 0;
}

QList<TaskState> readTaskStates(platform::AdoConnection& connection) {
    QSqlQuery q = connection.query(kColumns + QStringLiteral(" ORDER BY task_UID"), {}, kStatusQueryTimeoutSeconds);
    QList<TaskState> states;
    while (q.next()) states.append(stateOf(q));
    return states;
}

bool readTaskState(platform::AdoConnection& connection, qint32 uid, TaskState* state) {
    QSqlQuery q = connection.query(kColumns + QStringLiteral(" WHERE task_UID = ?"), {uid}, kStatusQueryTimeoutSeconds);
    if (!q.next()) return false;
    *state = stateOf(q);
    return true;
}

void forEachKeySlice(const QList<qint32>& keys,
                     const std::function<void(const QString& marks, const QVariantList& values)>& run) {
    for (qsizetype first = 0; first < keys.size(); first += kKeysPerStatement) {
        const QList<qint32> part = keys.mid(first, kKeysPerStatement);
        QVariantList values;
        values.reserve(part.size());
        for (qint32 key : part) values << key;
        run(QStringList(part.size(), QStringLiteral("?")).join(QLatin1Char(',')), values);
    }
}

}  // namespace tavrel
