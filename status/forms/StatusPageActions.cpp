// The five task commands of the Status tab and their pop-up menu.
#include "status/forms/StatusPage.h"

#include "clientcommon/Globals.h"
#include "status/forms/StatusTreeModel.h"
#include "status/forms/StatusTreeView.h"

#include <QCursor>
#include <QMenu>
#include <QScopedValueRollback>

namespace tavrel {

namespace {

// The commands act on the task of the selected node (key "task_<uid>").
qint32 selectedTask(const QString& key) { return nodeNumber(key); }

}  // namespace

void StatusPage::requestAction(TaskAction action) {
    const qint32 uid = selectedTask(selectedNodeKey());
    if (uid == 0 || !modGlobal_RequestTaskAction(uid, action)) return;
    // The open request shows at once: the pending icon, and the buttons it allows.
    QStandardItem* node = treeModel_->item(taskNodeKey(uid));
    if (!node) return;
    treeModel_->setImage(node, imagekey::Pending);
    tvwStatus_NodeClick(treeModel_->indexFromItem(node));
}

void StatusPage::cmdStatusPause_Click() { requestAction(TaskAction::Pause); }

void StatusPage::cmdStatusResume_Click() { requestAction(TaskAction::Resume); }

void StatusPage::cmdStatusCancel_Click() { requestAction(TaskAction::Cancel); }

void StatusPage::cmdStatusClone_Click() {
    const qint32 uid = selectedTask(selectedNodeKey());
    if (uid != 0) emit cloneTaskRequested(uid);
}

void StatusPage::cmdStatusDelete_Click() {
    const qint32 uid = selectedTask(selectedNodeKey());
    if (uid == 0 || !modGlobal_AskAndDeleteTask(uid, PeakListRoot)) return;
    {
        // The tree picks the node that stands in for the deleted one; the list follows it below.
        const QScopedValueRollback<bool> quiet(followSelection_, false);
        treeModel_->removeNode(taskNodeKey(uid));
    }
    expandedTasks_.remove(taskNodeKey(uid));
    openedTasks_.remove(taskNodeKey(uid));
    QModelIndex shown = tvwStatus->currentIndex();
    if (!shown.isValid()) {
        selectNode(treeModel_->rootNode());
        shown = tvwStatus->currentIndex();
    }
    tvwStatus_NodeClick(shown);
}

void StatusPage::cmdStatusRefresh_Click() { RefreshStatus(); }

void StatusPage::tvwStatus_MouseUp(Qt::MouseButton button, QPoint at) {
    stopAutoScroll();
    if (button == Qt::RightButton && StatusViewKind == QStringLiteral("task"))
        mnuAction->popup(tvwStatus->viewport()->mapToGlobal(at));
}

}  // namespace tavrel
