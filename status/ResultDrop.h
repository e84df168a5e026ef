#pragma once
// A result dragged onto a follower task: its data file joins the follower as
// a new file row, which the follower's job picks up by itself.
#include <QString>

namespace tavrel {

// The drag icon over a node: "dragdrop1" over no node or the dragged node
// itself, "dragdrop3" over a node that refuses the result (its own task, a
// node that is not a task, a task that is no follower, a cancelled follower),
// "dragdrop2" over a follower task that takes it. An empty target key is no node.
QString dragIconFor(const QString& draggedKey, const QString& draggedParentKey, const QString& targetKey,
                    const QString& targetTag);

// The drop of result `resultNumber` on task `targetTaskUid`, after the tree
// has accepted the target. Refusals are shown; true when the file row was
// appended. Works on TaskDbConnection; every value is a bound parameter.
bool modGlobal_DropResultOnTask(qint32 resultNumber, qint32 targetTaskUid);

}  // namespace tavrel
