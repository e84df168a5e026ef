#include "status/AutoPrintQueue.h"

#include "status/TaskStates.h"
#include "platform/AdoConnection.h"

#include <QSqlQuery>

#include <algorithm>

namespace tavrel {

namespace {

QList<QueuedPrint> readQueue(platform::AdoConnection& connection, const QSet<qint32>& localTasks) {
    // The queue is short; it is read alone and matched with the tasks here.
    // It is put in order here too: sorted by the engine, the query would walk
    // the whole table in key order rather than an index of auto_print.
    QSqlQuery q = connection.query(
        QStringLiteral("SELECT result_number, result_url, task_UID FROM Sorvex_Tavrel_Results WHERE auto_print > 0"), {},
        kStatusQueryTimeoutSeconds);
    QList<QueuedPrint> queued;
    while (q.next())
        if (localTasks.contains(q.value(2).toInt())) queued.append({q.value(0).toInt(), q.value(1).toString()});
    std::sort(queued.begin(), queued.end(),
              [](const QueuedPrint& a, const QueuedPrint& b) { return a.resultNumber < b.resultNumber; });
    return queued;
}

// Takes the first wanted entry off the queue and off `queued`; entries that
// another client took first leave `queued` too.
std::optional<QueuedPrint> takeFirst(platform::AdoConnection& connection, QList<QueuedPrint>& queued,
                                     const std::function<bool(qint32)>& wanted) {
    for (qsizetype i = 0; i < queued.size();) {
        const QueuedPrint entry = queued[i];
        if (wanted && !wanted(entry.resultNumber)) {
            ++i;
            continue;
        }
        const int taken = connection.execute(
            QStringLiteral("UPDATE Sorvex_Tavrel_Results SET auto_print = 0 WHERE result_number = ? AND auto_print > 0"),
            {entry.resultNumber}, kStatusQueryTimeoutSeconds);
        queued.removeAt(i);
        if (taken > 0) return entry;
    }
    return std::nullopt;
}

}  // namespace

std::optional<QueuedPrint> takeNextAutoPrint(platform::AdoConnection& connection, const QSet<qint32>& localTasks,
                                             const std::function<bool(qint32)>& wanted) {
    if (localTasks.isEmpty()) return std::nullopt;  // the queue is not even read
    QList<QueuedPrint> queued = readQueue(connection, localTasks);
    return takeFirst(connection, queued, wanted);
}

void requeueAutoPrint(platform::AdoConnection& connection, qint32 resultNumber) {
    connection.execute(QStringLiteral("UPDATE Sorvex_Tavrel_Results SET auto_print = 1 WHERE result_number = ?"),
                       {resultNumber}, kStatusQueryTimeoutSeconds);
}

std::optional<QueuedPrint> KeptAutoPrintQueue::takeNext(platform::AdoConnection& connection,
                                                        const QSet<qint32>& localTasks,
                                                        const std::function<bool(qint32)>& wanted) {
    if (localTasks.isEmpty()) return std::nullopt;  // the queue is not even read
    if (!read_) {
        queued_ = readQueue(connection, localTasks);
        read_ = true;
    }
    return takeFirst(connection, queued_, wanted);
}

}  // namespace tavrel
