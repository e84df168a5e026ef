// The status tree: built once at start-up, then brought in line with the
// task table by every refresh, node by node.
#include "status/forms/StatusPage.h"

#include "clientcommon/BusyCursor.h"
#include "clientcommon/Globals.h"
#include "clientcommon/HandlerGuard.h"
#include "clientcommon/TaskDatabase.h"
#include "common/TaskVocabulary.h"
#include "status/AutoPrintQueue.h"
#include "status/RequestExchange.h"
#include "status/StatusListRows.h"
#include "status/TaskNodePlan.h"
#include "status/forms/StatusListModel.h"
#include "status/forms/StatusTreeModel.h"
#include "status/forms/StatusTreeView.h"
#include "platform/Error.h"

#include <algorithm>

namespace tavrel {

void StatusPage::frmMain_BuildStatusTree() {
    expandedTasks_.clear();
    openedTasks_.clear();
    QStandardItem* root = treeModel_->resetToRoot();
    // The first refresh after the build reads the whole table again.
    readMarker_.clear();
    autoPrintQueue_.forget();
    const QList<TaskState> rows = readTaskStates(TaskDbConnection);
    treeModel_->addTaskNodes(planTaskNodes({}, rows).added);
    lastStates_.clear();
    localTasks_.clear();
    for (const TaskState& row : rows) {
        lastStates_.insert(row.uid, row);
        if (row.isLocal(LocalComputerName)) localTasks_.insert(row.uid);
    }
    tvwStatus->expand(treeModel_->indexFromItem(root));
    selectNode(root);
    tvwStatus_NodeClick(treeModel_->indexFromItem(root));
}

void StatusPage::frmMain_ExpandTaskNode(QStandardItem* taskNode) {
    if (!taskNode) return;
    const QString key = StatusTreeModel::keyOf(taskNode);
    if (treeModel_->removePlaceholder(taskNode)) openedTasks_.insert(key);
    treeModel_->addResultNodes(taskNode, readResultNodes(TaskDbConnection, nodeNumber(key)));
}

void StatusPage::tvwStatus_Expand(const QModelIndex& node) {
    QStandardItem* item = treeModel_->itemFromIndex(node);
    const QString key = StatusTreeModel::keyOf(item);
    if (key == RootNodeKey) {
        treeModel_->setImage(item, imagekey::OpenFile);
    } else if (key.startsWith(QStringLiteral("task"))) {
        expandedTasks_.insert(key);
        frmMain_ExpandTaskNode(item);
    }
}

void StatusPage::tvwStatus_Collapse(const QModelIndex& node) {
    QStandardItem* item = treeModel_->itemFromIndex(node);
    const QString key = StatusTreeModel::keyOf(item);
    if (key == RootNodeKey) treeModel_->setImage(item, imagekey::ShutFile);
    expandedTasks_.remove(key);
}

TaskNodePlan StatusPage::applyTaskNodes(const QList<TaskState>& rows) {
    const TaskNodePlan plan = planTaskNodes(treeModel_->taskImages(), rows);
    QStandardItem* current = selectedNode();
    for (const QString& key : plan.removed) {
        // A selected node that goes leaves the root selected, not a neighbour.
        QStandardItem* node = treeModel_->item(key);
        for (QStandardItem* n = current; n; n = n->parent())
            if (n == node) {
                selectNode(treeModel_->rootNode());
                current = nullptr;
                break;
            }
        treeModel_->removeNode(key);
        expandedTasks_.remove(key);
        openedTasks_.remove(key);
    }
    treeModel_->addTaskNodes(plan.added);
    for (const auto& [key, image] : plan.reimaged) treeModel_->setImage(treeModel_->item(key), image);
    return plan;
}

void StatusPage::restorePlaceholders() {
    // An opened task without results gets its placeholder back, so that it
    // can be opened again once results arrive.
    for (const QString& key : QStringList(openedTasks_.begin(), openedTasks_.end())) {
        QStandardItem* node = treeModel_->item(key);
        if (!node || node->rowCount() > 0) continue;
        tvwStatus->collapse(treeModel_->indexFromItem(node));
        treeModel_->addPlaceholder(node);
        openedTasks_.remove(key);
        expandedTasks_.remove(key);
    }
}

void StatusPage::addOpenTaskResults() {
    // Open task nodes take the results that have no node yet.
    QList<qint32> open;
    for (const QString& key : expandedTasks_) open << nodeNumber(key);
    const QHash<qint32, QList<ResultNodeEntry>> results = readResultNodes(TaskDbConnection, open);
    for (auto it = results.begin(); it != results.end(); ++it)
        if (QStandardItem* node = treeModel_->item(taskNodeKey(it.key()))) treeModel_->addResultNodes(node, it.value());
}

TaskRowChanges StatusPage::takeTaskRows(const QList<TaskState>& rows) {
    TaskRowChanges changes = takeRowChanges(lastStates_, rows);
    for (qint32 uid : changes.vanished) localTasks_.remove(uid);
    for (qint32 uid : changes.changed) {
        if (lastStates_.value(uid).isLocal(LocalComputerName)) localTasks_.insert(uid);
        else localTasks_.remove(uid);
    }
    return changes;
}

void StatusPage::reshowSelection(const TaskNodePlan& plan, const TaskRowChanges& changes) {
    const bool treeChanged = plan.changesTree();

    try {
        QStandardItem* node = selectedNode();
        if (!node) throw platform::Error(platform::errnum::ItemNotFound, QStringLiteral("No node is selected"));
        const QString key = StatusTreeModel::keyOf(node);
        const QModelIndex index = treeModel_->indexFromItem(node);
        if (key.startsWith(RootNodeKey) && StatusViewKind == RootNodeKey) {
            // The root view already lists the table: only the tasks that
            // changed are read again (a status that keeps its icon included).
            if (changes.isEmpty()) return;
            QStringList gone;  // the changed rows still shown come back in `fresh`
            for (const QList<qint32>* uids : {&changes.changed, &changes.vanished})
                for (qint32 uid : *uids) gone << taskNodeKey(uid);
            listModel_->patchRows(readRootViewRows(TaskDbConnection, changes.changed), gone);
        } else if (key.startsWith(RootNodeKey) && treeChanged) {
            tvwStatus_NodeClick(index);
        } else if (key.startsWith(QStringLiteral("task"))) {
            // A new image also changes what the buttons offer (Resume once a
            // pause has taken effect), even while the results stay the same.
            const bool reimaged = std::any_of(plan.reimaged.begin(), plan.reimaged.end(),
                                              [&](const auto& r) { return r.first == key; });
            if (reimaged || listModel_->rowCount() != node->rowCount() || !tvwStatus->isExpanded(index))
                tvwStatus_NodeClick(index);
        }
    } catch (const platform::Error&) {
        QStandardItem* root = treeModel_->rootNode();
        selectNode(root);
        tvwStatus_NodeClick(treeModel_->indexFromItem(root));
    }
}

void StatusPage::RefreshStatus() {
    if (ResultDragActive) return;  // nothing is read, changed or shown under a drag
    const ReentryGuard guard(refreshing_);
    if (!guard.entered()) return;
    {
        const BusyCursor busy;
        // The event log is a file: it goes on while the database is out of reach.
        bool eventLogRead = false;
        try {
            if (database_.ready()) {
                // Taken before anything is read, so that whatever is committed
                // from here on moves the next one. While it stays the same,
                // the rows, the results under the open nodes and the print
                // queue are what this client read last.
                const QString marker = TaskDbConnection.changeMarker();
                const bool unchanged = !marker.isEmpty() && marker == readMarker_;
                readMarker_.clear();  // until this run has read all it reads
                QList<TaskState> rows;
                TaskNodePlan plan;
                TaskRowChanges changes;
                if (!unchanged) {
                    autoPrintQueue_.forget();
                    rows = readTaskStates(TaskDbConnection);
                    completeTaskAnswers(TaskDbConnection, rows, LocalComputerName);
                    plan = applyTaskNodes(rows);
                }
                restorePlaceholders();
                if (!unchanged) {
                    addOpenTaskResults();
                    // Taken last, so that a failed read before leaves the
                    // changes for the next run to show.
                    changes = takeTaskRows(rows);
                }
                reshowSelection(plan, changes);
                eventLogRead = true;
                emit eventLogDue();
                if (!autoPrintReady || autoPrintReady()) {
                    const std::optional<QueuedPrint> next =
                        autoPrintQueue_.takeNext(TaskDbConnection, localTasks_, autoPrintWanted);
                    if (next && !next->url.isEmpty()) emit autoPrintRequested(next->url, next->resultNumber);
                }
                readMarker_ = marker;
            }
        } catch (const platform::Error& e) {
            if (!database_.noteFailure(e)) throw;
        }
        if (!eventLogRead) emit eventLogDue();
    }
    database_.sayLoss();
    watchdog_.run();
}

void StatusPage::ShowNewTask(long taskUid) {
    if (!treeModel_->rootNode()) return;  // the tree is built later, with this task in it
    TaskState state;
    if (!readTaskState(TaskDbConnection, qint32(taskUid), &state)) return;
    if (!treeModel_->item(taskNodeKey(state.uid))) {
        TaskNodeEntry entry = taskNodeEntry(state);
        entry.image = imagekey::Pending;  // asked to run, not yet answered
        entry.tag = taskNodeTag(state.schedule, state.uid, common::word(common::TaskStatus::New));
        treeModel_->addTaskNodes({entry});
    }
    if (selectedNodeKey() == RootNodeKey) tvwStatus_NodeClick(tvwStatus->currentIndex());
}

}  // namespace tavrel
