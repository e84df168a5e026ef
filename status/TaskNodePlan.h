#pragma once
// What the status tree must change so that its task nodes match the task rows:
// worked out from plain rows, applied by the page to its model by key, so the
// tree is changed in place and an unchanged table changes nothing.
#include "status/TaskStates.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace platform {
class AdoConnection;
}

namespace tavrel {

struct TaskNodeEntry {
    QString key;
    QString text;
    QString image;
    QString tag;
};

struct TaskNodePlan {
    QList<TaskNodeEntry> added;                // new nodes, in row order, appended after the others
    QList<QPair<QString, QString>> reimaged;  // key, new image
    QStringList removed;                      // task gone or no longer in one of the five statuses

    bool changesTree() const { return !added.isEmpty() || !reimaged.isEmpty() || !removed.isEmpty(); }
};

TaskNodeEntry taskNodeEntry(const TaskState& row);

// `images`: the image of every task node the tree has now, by task_UID. Each
// row's image follows TaskTreeIcon with the pending flag as read. Texts are
// made only for what changes: a table of many thousand unchanged tasks costs
// one lookup per row.
TaskNodePlan planTaskNodes(const QHash<qint32, QString>& images, const QList<TaskState>& rows);

// The tasks whose row differs from the one read last time, and those gone;
// `last` becomes `rows`.
struct TaskRowChanges {
    QList<qint32> changed;  // new or different
    QList<qint32> vanished;
    bool isEmpty() const { return changed.isEmpty() && vanished.isEmpty(); }
};
TaskRowChanges takeRowChanges(QHash<qint32, TaskState>& last, const QList<TaskState>& rows);

// A result node under its task: key "result_<number>", the data file's name.
struct ResultNodeEntry {
    QString key;
    QString text;
};

// The results of one task in ascending result_number. The tree adds those
// whose key it does not hold yet, so a result that a second writer commits
// late, under a smaller number than one already shown, still gets its node.
QList<ResultNodeEntry> readResultNodes(platform::AdoConnection& connection, qint32 taskUid);
// The same for several tasks in one pass over the results table, which
// reads the table once however many task nodes are open.
QHash<qint32, QList<ResultNodeEntry>> readResultNodes(platform::AdoConnection& connection,
                                                     const QList<qint32>& taskUids);

}  // namespace tavrel
