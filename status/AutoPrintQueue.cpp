#include "status/AutoPrintQueue.h"

#include "common/TaskDbTables.h"
#include "status/TaskStates.h"
#include "platform/AdoConnection.h"

#include <QSqlQuery>

namespace tavrel {

std::optional<QString> takeNextAutoPrint(platform::AdoConnection& connection, const QString& localComputerName) {
    QSqlQuery q = connection.query(
        QStringLiteral("SELECT r.result_number, r.result_url FROM Sorvex_Tavrel_Results r, Sorvex_Tavrel_Tasks t "
                       "WHERE r.auto_print > 0 AND r.task_UID = t.task_UID AND ") +
            common::sameComputerSql(QStringLiteral("t.computer_name")) + QStringLiteral(" ORDER BY r.result_number"),
        {localComputerName}, kStatusQueryTimeoutSeconds);
    QList<QPair<qint32, QString>> queued;
    while (q.next()) queued.append({q.value(0).toInt(), q.value(1).toString()});
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
