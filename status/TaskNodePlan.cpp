#include "status/TaskNodePlan.h"

#include "status/StatusNodes.h"

#include <QSet>

#include <algorithm>

namespace tavrel {

TaskNodeEntry taskNodeEntry(const TaskState& row) {
    return {taskNodeKey(row.uid), taskNodeText(row.uid, row.label), TaskTreeIcon(row.status, row.schedule, row.pending()),
            taskNodeTag(row.schedule, row.uid, row.status)};
}

TaskNodePlan planTaskNodes(const QHash<qint32, QString>& images, const QList<TaskState>& rows) {
    TaskNodePlan plan;
    QSet<qint32> seen;
    seen.reserve(rows.size());
    for (const TaskState& row : rows) {
        if (!isShownStatus(row.status)) continue;
        // Keys are unique in the table; a second row with the same key would
        // only come from a damaged table and gets no second node.
        if (seen.contains(row.uid)) continue;
        seen.insert(row.uid);
        const auto it = images.constFind(row.uid);
        if (it == images.constEnd()) {
            plan.added.append(taskNodeEntry(row));
            continue;
        }
        const QString image = TaskTreeIcon(row.status, row.schedule, row.pending());
        if (it.value() != image) plan.reimaged.append({taskNodeKey(row.uid), image});
    }
    QList<qint32> gone;
    for (auto it = images.constBegin(); it != images.constEnd(); ++it)
        if (!seen.contains(it.key())) gone.append(it.key());
    std::sort(gone.begin(), gone.end());
    for (qint32 uid : gone) plan.removed.append(taskNodeKey(uid));
    return plan;
}

TaskRowChanges takeRowChanges(QHash<qint32, TaskState>& last, const QList<TaskState>& rows) {
    TaskRowChanges changes;
    QHash<qint32, TaskState> now;
    now.reserve(rows.size());
    for (const TaskState& row : rows) {
        now.insert(row.uid, row);
        const auto before = last.constFind(row.uid);
        if (before == last.constEnd() || !(before.value() == row)) changes.changed << row.uid;
    }
    for (auto it = last.constBegin(); it != last.constEnd(); ++it)
        if (!now.contains(it.key())) changes.vanished << it.key();
    last = std::move(now);
    return changes;
}

}  // namespace tavrel
