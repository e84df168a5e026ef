#pragma once
// The "&Status" tab of the main window: the status tree tvwStatus of tasks
// and results, the list lvwStatus that shows the selected node, the five task
// commands with their pop-up menu, the Refresh button, and the drag of a
// result onto a follower task. The refresh reads the task database through
// TaskDbConnection and changes tree and list in place.
#include "clientcommon/TaskDatabase.h"
#include "status/AutoPrintQueue.h"
#include "status/ServiceWatchdog.h"
#include "status/StatusButtons.h"
#include "status/StatusColumns.h"
#include "status/TaskActions.h"
#include "status/TaskDbReconnect.h"
#include "status/TaskNodePlan.h"
#include "status/TaskStates.h"

#include <QHash>
#include <QPersistentModelIndex>
#include <QSet>
#include <QWidget>

#include <functional>

class QAction;
class QMenu;
class QPushButton;
class QStandardItem;
class QTreeView;

namespace tavrel {

class StatusListModel;
class StatusTreeModel;
class StatusTreeView;

class StatusPage : public QWidget {
    Q_OBJECT
public:
    explicit StatusPage(QWidget* parent = nullptr);

    // Start-up, in this order: the buttons' tool tips, the column tables of
    // the root and task views, the tree (which shows the root view), then the
    // first RefreshStatus.
    void frmMain_SetStatusButtonToolTips();
    void modGlobal_InitStatusColumns();
    void frmMain_BuildStatusTree();

    // The periodic refresh (tmrRefresh, the Refresh button, Edit Refresh).
    // Skipped while a result is dragged and while a refresh is running (its
    // questions and waits serve events).
    void RefreshStatus();
    // tmrJob(0): the tree scrolls one line while a dragged result rests in
    // its top or bottom band.
    void AutoScrollTick();
    // A task the editor has just created joins the tree.
    void ShowNewTask(long taskUid);

    // Fills the list for a node and sets the buttons and menus by its kind.
    void tvwStatus_NodeClick(const QModelIndex& node);
    // Replaces a task node's placeholder by its results; adds results that
    // have no node yet.
    void frmMain_ExpandTaskNode(QStandardItem* taskNode);

    // The main window's tab changed: File Print only on this tab with the
    // root or a task selected.
    void tabMain_Click(bool statusTabShown);

    // Keeps the widths of the root or the task view's columns for the next
    // start, when that view is the one shown (shut-down names the shown one).
    void SaveColumnWidths(const QString& view);

    // "root", "task", "result", or empty before the first view.
    const QString& statusViewKind() const { return StatusViewKind; }
    QString selectedNodeKey() const;
    bool printEnabled() const { return printEnabled_; }
    bool resultDragActive() const { return ResultDragActive; }
    StatusTreeModel* treeModel() const { return treeModel_; }
    StatusListModel* listModel() const { return listModel_; }
    ServiceWatchdog& watchdog() { return watchdog_; }
    // How a result drag is run (default: a QDrag over the tree); tests replace it.
    std::function<void()> runResultDrag;
    // Whether the printing of results can take one now (none when empty: every
    // refresh hands one over) and whether it wants a given one: the refresh
    // takes a result off the queue only then, so none waits inside the window.
    std::function<bool()> autoPrintReady;
    std::function<bool(qint32 resultNumber)> autoPrintWanted;

    StatusTreeView* tvwStatus = nullptr;
    QTreeView* lvwStatus = nullptr;
    QPushButton* cmdStatusPause = nullptr;
    QPushButton* cmdStatusResume = nullptr;
    QPushButton* cmdStatusClone = nullptr;
    QPushButton* cmdStatusCancel = nullptr;
    QPushButton* cmdStatusDelete = nullptr;
    QPushButton* cmdStatusRefresh = nullptr;
    QMenu* mnuAction = nullptr;
    QAction* mnuActionPause = nullptr;
    QAction* mnuActionResume = nullptr;
    QAction* mnuActionClone = nullptr;
    QAction* mnuActionCancel = nullptr;
    QAction* mnuActionDelete = nullptr;
    // The list's context menu: the address of the result row it opened on.
    QMenu* mnuList = nullptr;
    QAction* mnuListCopyAddress = nullptr;

    // The drag handlers, public so that the drag can be driven step by step.
    void tvwStatus_MouseDown(Qt::MouseButton button, QPoint at);
    void tvwStatus_MouseMove(Qt::MouseButtons buttons, QPoint at);
    void tvwStatus_MouseUp(Qt::MouseButton button, QPoint at);
    QString tvwStatus_DragOver(QPoint at);  // the drag icon's image key
    void tvwStatus_DragDrop(QPoint at);

    void cmdStatusPause_Click();
    void cmdStatusResume_Click();
    void cmdStatusCancel_Click();
    void cmdStatusClone_Click();
    void cmdStatusDelete_Click();
    void cmdStatusRefresh_Click();
    void lvwStatus_ColumnClick(int column);  // 1-based, as the list counts
    void lvwStatus_ItemClick(const QModelIndex& item);
    // The web address a list row opens, or "" when it opens none.
    QString addressOf(const QModelIndex& item) const;
    void lvwStatus_ContextMenu(QPoint at);

signals:
    // Clone: the task editor is to be reset and loaded with this stored task.
    void cloneTaskRequested(long taskUid);
    // Each refresh, after the tree: the event list reads the log's new lines.
    void eventLogDue();
    // A result of this computer's tasks taken off the print queue: its page.
    // When it cannot be printed, requeueAutoPrint puts it back.
    void autoPrintRequested(const QString& url, qint32 resultNumber);
    void browserRequested(const QString& url);
    void quellmarkRequested(const QString& projectFile);
    void printEnabledChanged(bool enabled);
    // tmrJob(0) on or off: on while a dragged result rests in a scroll band.
    void autoScrollTimerWanted(bool on);

private:
    QString contextAddress_;
    void buildControls();
    void connectHandlers();
    void setButtons(const StatusButtonStates& states);
    void setPrintEnabled(bool enabled);
    void showColumnsFor(const QString& view);
    void saveWidthsOf(const QString& view);
    void showRootView();
    void showTaskView(QStandardItem* taskNode);
    void showResultView(qint32 resultNumber);
    TaskNodePlan applyTaskNodes(const QList<TaskState>& rows);
    void restorePlaceholders();
    void addOpenTaskResults();
    // The rows become the last ones read; this computer's tasks follow them.
    TaskRowChanges takeTaskRows(const QList<TaskState>& rows);
    void reshowSelection(const TaskNodePlan& plan, const TaskRowChanges& changes);
    void selectNode(QStandardItem* node);
    void requestAction(TaskAction action);
    void stopAutoScroll();
    void endResultDrag();
    void startQDrag();
    void tvwStatus_Expand(const QModelIndex& node);
    void tvwStatus_Collapse(const QModelIndex& node);
    void tvwStatus_Focus(bool gotFocus, Qt::FocusReason reason);
    void currentNodeChanged(const QModelIndex& current);
    QStandardItem* nodeAt(QPoint at) const;
    void highlightDropNode(const QModelIndex& node);
    QStandardItem* selectedNode() const;

    StatusTreeModel* treeModel_ = nullptr;
    StatusListModel* listModel_ = nullptr;
    ServiceWatchdog watchdog_;
    TaskDbReconnect database_{TaskDbConnection};  // reopened beside the window after an outage

    QString StatusViewKind;
    QString shownNodeKey_;  // the node the list shows
    int StatusSortColumn = 0;  // 1-based; -1 after a new column set
    int StatusSortOrder = 0;   // 0 ascending, 1 descending
    ColumnTable rootColumns_;
    ColumnTable taskColumns_;
    bool printEnabled_ = false;

    bool refreshing_ = false;
    bool followSelection_ = true;  // a change of the current node shows it, unless the page made it
    QSet<QString> expandedTasks_;  // task nodes the view shows open
    QSet<QString> openedTasks_;    // task nodes whose placeholder has gone
    QHash<qint32, TaskState> lastStates_;  // the task rows as the last refresh read them
    QSet<qint32> localTasks_;              // this computer's tasks among them
    // The database's change marker taken before the last complete refresh
    // read it; empty when the next refresh is to read everything.
    QString readMarker_;
    KeptAutoPrintQueue autoPrintQueue_;

    QPersistentModelIndex DragNode;
    QPersistentModelIndex DropHighlight;
    bool ResultDragActive = false;
    QPoint pressPoint_;
    bool pressedOnCurrent_ = false;  // a click on the node already shown shows it again
    QPoint DragPoint;
    bool ScrollUpward = false;
    bool autoScrollOn_ = false;
};

}  // namespace tavrel
