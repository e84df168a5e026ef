#include "status/TaskNodePlan.h"

#include "status/StatusNodes.h"
#include "platform/AdoConnection.h"

#include <QSqlQuery>

namespace tavrel {

QList<ResultNodeSpec> readResultNodes(platform::AdoConnection& connection, qint32 taskUid) {
    QSqlQuery q = connection.query(QStringLiteral("SELECT result_number, input_data_file FROM Sorvex_Tavrel_Results "
                                                  "WHERE task_UID = ? ORDER BY result_number"),
                                   {taskUid}, kStatusQueryTimeoutSeconds);
    QList<ResultNodeSpec> nodes;
    while (q.next()) nodes.append({resultNodeKey(q.value(0).toInt()), fileNamePart(q.value(1).toString())});
    return nodes;
}

}  // namespace tavrel
