#include "status/TaskNodePlan.h"

#include "status/StatusNodes.h"

#include <QSet>

namespace tavrel {

TaskNodeSpec taskNodeSpec(const TaskState& row) {
    return {taskNodeKey(row.uid), taskNodeText(row.uid, row.label), TaskTreeIcon(row.status, row.schedule, row.pending()),
            taskNodeTag(row.schedule, row.uid, row.status)};
}

TaskNodePlan planTaskNodes(const QHash<QString, QString>& images, const QList<TaskState>& rows) {
    TaskNodePlan plan;
    QSet<QString> seen;
    seen.reserve(rows.size());
    for (const TaskState& row : rows) {
        if (!isShownStatus(row.status)) continue;
        TaskNodeSpec spec = taskNodeSpec(row);
        // Keys are unique in the table; a second row with the same key would
        // only come from a damaged table and gets no second node.
        if (seen.contains(spec.key)) continue;
        seen.insert(spec.key);
        plan.shown.append(spec.key);
        const auto it = images.constFind(spec.key);
        if (it == images.constEnd()) plan.added.append(std::move(spec));
        else if (it.value() != spec.image) plan.reimaged.append({spec.key, spec.image});
    }
    for (auto it = images.constBegin(); it != images.constEnd(); ++it)
        if (!seen.contains(it.key())) plan.removed.append(it.key());
    plan.removed.sort();
    return plan;
}

}  // namespace tavrel
