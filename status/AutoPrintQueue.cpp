#include "status/AutoPrintQueue.h"

#include "status/TaskStates.h"
#include "platform/AdoConnection.h"

#include <QSqlQuery>

namespace tavrel {

std::optional<QString> takeNextAutoPrint(platform::AdoConnection& connection, const QSet<qint32>& localTasks) {
    if (localTasks.isEmpty()) return std::nullopt;  // the queue is not even read
    // The queue is short; it is read alone and matched with the tasks here.
    QSqlQuery q = connection.query(QStringLiteral("SELECT result_number, result_url, task_UID FROM Sorvex_Tavrel_Results "
                                                  "WHERE auto_print > 0 ORDER BY result_number"),
                                   {}, kStatusQueryTimeoutSeconds);
    QList<QPair<qint32, QString>> queued;
    while (q.next())
        if (localTasks.contains(q.value(2).toInt())) queued.append({q.value(0).toInt(), q.value(1).toString()});
    q.finish();
    for (const auto& [number, url] : queued) {
        const int taken = connection.execute(
            QStringLiteral("UPDATE Sorvex_Tavrel_Results SET auto_print = 0 WHERE result_number = ? AND auto_print > 0"),
            {number}, kStatusQueryTimeoutSeconds);
        if (taken > 0) return url;
    }
    return std::nullopt;
}

}  // namespace tavrel
