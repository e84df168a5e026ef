#include "status/TaskNodePlan.h"

#include "status/StatusNodes.h"

#include <QSet>

#include <algorithm>
#include <functional>

namespace tavrel {

TaskNodeEntry taskNodeEntry(const TaskState& row) {
    return {taskNodeKey(row.uid), taskNodeText(row.uid, row.label), TaskTreeIcon(row.status, row.schedule, row.pending()),
            taskNodeTag(row.schedule, row.uid, row.status)};
}

namespace {

// Keys are unique in the table and the refresh reads them in ascending order;
// rows in any other order are taken as they come, checked against each other.
bool strictlyAscending(const QList<TaskState>& rows) {
    return std::adjacent_find(rows.begin(), rows.end(),
                              [](const TaskState& a, const TaskState& b) { return a.uid >= b.uid; }) == rows.end();
}

// The keys of the rows for which `keep` holds, for lookups.
QSet<qint32> keysOf(const QList<TaskState>& rows, const std::function<bool(const TaskState&)>& keep) {
    QSet<qint32> keys;
    keys.reserve(rows.size());
    for (const TaskState& row : rows)
        if (keep(row)) keys.insert(row.uid);
    return keys;
}

}  // namespace

TaskNodePlan planTaskNodes(const QHash<qint32, QString>& images, const QList<TaskState>& rows) {
    TaskNodePlan plan;
    const bool ascending = strictlyAscending(rows);
    // Only a table out of order needs the keys met so far: a second row with
    // the same key would come from a damaged table and gets no second node.
    QSet<qint32> seen;
    qsizetype kept = 0;  // tree nodes whose row is still shown
    for (const TaskState& row : rows) {
        if (!isShownStatus(row.status)) continue;
        if (!ascending) {
            if (seen.contains(row.uid)) continue;
            seen.insert(row.uid);
        }
        const auto it = images.constFind(row.uid);
        if (it == images.constEnd()) {
            plan.added.append(taskNodeEntry(row));
            continue;
        }
        ++kept;
        const QString image = TaskTreeIcon(row.status, row.schedule, row.pending());
        if (it.value() != image) plan.reimaged.append({taskNodeKey(row.uid), image});
    }
    if (kept == images.size()) return plan;  // every node keeps its row
    if (ascending) seen = keysOf(rows, [](const TaskState& row) { return isShownStatus(row.status); });
    QList<qint32> gone;
    for (auto it = images.constBegin(); it != images.constEnd(); ++it)
        if (!seen.contains(it.key())) gone.append(it.key());
    std::sort(gone.begin(), gone.end());
    for (qint32 uid : gone) plan.removed.append(taskNodeKey(uid));
    return plan;
}

TaskRowChanges takeRowChanges(QHash<qint32, TaskState>& last, const QList<TaskState>& rows) {
    TaskRowChanges changes;
    const bool ascending = strictlyAscending(rows);
    // `last` is brought up to date in place: an unchanged row costs a lookup
    // and a comparison, no copy.
    QList<const TaskState*> added;
    qsizetype kept = 0;  // rows of `last` met again
    for (const TaskState& row : rows) {
        const auto it = last.find(row.uid);
        if (it == last.end()) {
            changes.changed << row.uid;
            added << &row;
            continue;
        }
        ++kept;
        if (!(it.value() == row)) {
            changes.changed << row.uid;
            it.value() = row;
        }
    }
    if (!ascending || kept != last.size()) {
        const QSet<qint32> now = keysOf(rows, [](const TaskState&) { return true; });
        for (auto it = last.constBegin(); it != last.constEnd(); ++it)
            if (!now.contains(it.key())) changes.vanished << it.key();
        std::sort(changes.vanished.begin(), changes.vanished.end());
        for (qint32 uid : changes.vanished) last.remove(uid);
    }
    for (const TaskState* row : added) last.insert(row->uid, *row);
    if (!ascending) {
        // A key met twice counts once, as the last row with it says.
        std::sort(changes.changed.begin(), changes.changed.end());
        changes.changed.erase(std::unique(changes.changed.begin(), changes.changed.end()), changes.changed.end());
    }
    return changes;
}

}  // namespace tavrel
