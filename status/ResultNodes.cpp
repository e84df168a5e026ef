#include "status/TaskNodePlan.h"

#include "status/StatusNodes.h"
#include "status/TaskStates.h"
#include "platform/AdoConnection.h"

#include <QSqlQuery>

namespace tavrel {

QList<ResultNodeEntry> readResultNodes(platform::AdoConnection& connection, qint32 taskUid) {
    QSqlQuery q = connection.query(QStringLiteral("SELECT result_number, input_data_file FROM Sorvex_Tavrel_Results "
                                                  "WHERE task_UID = ? ORDER BY result_number"),
                                   {taskUid}, kStatusQueryTimeoutSeconds);
    QList<ResultNodeEntry> nodes;
    while (q.next()) nodes.append({resultNodeKey(q.value(0).toInt()), fileNamePart(q.value(1).toString())});
    return nodes;
}

QHash<qint32, QList<ResultNodeEntry>> readResultNodes(platform::AdoConnection& connection,
                                                     const QList<qint32>& taskUids) {
    QHash<qint32, QList<ResultNodeEntry>> nodes;
    forEachKeySlice(taskUids, [&](const QString& marks, const QVariantList& values) {
        QSqlQuery q = connection.query(QStringLiteral("SELECT result_number, input_data_file, task_UID FROM "
                                                      "Sorvex_Tavrel_Results WHERE task_UID IN (") +
                                           marks + QStringLiteral(") ORDER BY result_number"),
                                       values, kStatusQueryTimeoutSeconds);
        while (q.next())
            nodes[q.value(2).toInt()].append({resultNodeKey(q.value(0).toInt()), fileNamePart(q.value(1).toString())});
    });
    return nodes;
}

}  // namespace tavrel
