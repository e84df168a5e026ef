#include "status/forms/StatusPage.h"

#include "clientcommon/HandlerGuard.h"
#include "status/forms/StatusIcons.h"
#include "status/forms/StatusListModel.h"
#include "status/forms/StatusTreeModel.h"
#include "status/forms/StatusTreeView.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

namespace tavrel {

namespace {

QPushButton* button(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setEnabled(false);
    return b;
}

QAction* menuItem(QMenu* menu, const char* name, const char* caption) {
    QAction* a = menu->addAction(QString::fromUtf8(caption));
    a->setObjectName(QString::fromLatin1(name));
    a->setEnabled(false);
    return a;
}

}  // namespace

StatusPage::StatusPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("StatusPage"));
    rootColumns_ = defaultColumnTable(ColumnView::Root);
    taskColumns_ = defaultColumnTable(ColumnView::Task);
    runResultDrag = [this] { startQDrag(); };
    database_.onBack = [this] { guardHandler(QStringLiteral("RefreshStatus"), [this] { RefreshStatus(); }); };
    buildControls();
    connectHandlers();
}

void StatusPage::buildControls() {
    treeModel_ = new StatusTreeModel(this);
    tvwStatus = new StatusTreeView(this);
    tvwStatus->setObjectName(QStringLiteral("tvwStatus"));
    tvwStatus->setModel(treeModel_);
    tvwStatus->setHeaderHidden(true);
    tvwStatus->setUniformRowHeights(true);
    tvwStatus->setIconSize(QSize(kStatusIconSize, kStatusIconSize));
    tvwStatus->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvwStatus->setSelectionMode(QAbstractItemView::SingleSelection);

    listModel_ = new StatusListModel(this);
    lvwStatus = new QTreeView(this);
    lvwStatus->setObjectName(QStringLiteral("lvwStatus"));
    lvwStatus->setModel(listModel_);
    lvwStatus->setRootIsDecorated(false);
    lvwStatus->setUniformRowHeights(true);
    lvwStatus->setAllColumnsShowFocus(true);
    lvwStatus->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwStatus->setIconSize(QSize(kStatusIconSize, kStatusIconSize));
    lvwStatus->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvwStatus->setContextMenuPolicy(Qt::CustomContextMenu);
    mnuList = new QMenu(lvwStatus);
    mnuList->setObjectName(QStringLiteral("mnuList"));
    mnuListCopyAddress = menuItem(mnuList, "mnuListCopyAddress", "Copy &address");
    lvwStatus->header()->setSectionsClickable(true);
    lvwStatus->header()->setSortIndicatorShown(false);
    lvwStatus->header()->setStretchLastSection(false);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("splStatus"));
    splitter->addWidget(tvwStatus);
    splitter->addWidget(lvwStatus);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 3);
    splitter->setChildrenCollapsible(false);

    cmdStatusPause = button(this, "cmdStatusPause", "Pa&use");
    cmdStatusResume = button(this, "cmdStatusResume", "&Resume");
    cmdStatusClone = button(this, "cmdStatusClone", "C&lone");
    cmdStatusCancel = button(this, "cmdStatusCancel", "&Cancel");
    cmdStatusDelete = button(this, "cmdStatusDelete", "&Delete");
    cmdStatusRefresh = button(this, "cmdStatusRefresh", "Refresh (F5)");
    cmdStatusRefresh->setEnabled(true);
    cmdStatusRefresh->setShortcut(QKeySequence(Qt::Key_F5));

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdStatusPause, cmdStatusResume, cmdStatusClone, cmdStatusCancel, cmdStatusDelete})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(cmdStatusRefresh);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);

    mnuAction = new QMenu(QStringLiteral("Action"), this);
    mnuAction->setObjectName(QStringLiteral("mnuAction"));
    mnuActionPause = menuItem(mnuAction, "mnuActionPause", "Pause");
    mnuActionResume = menuItem(mnuAction, "mnuActionResume", "Resume");
    mnuActionClone = menuItem(mnuAction, "mnuActionClone", "Clone");
    mnuActionCancel = menuItem(mnuAction, "mnuActionCancel", "Cancel");
    mnuActionDelete = menuItem(mnuAction, "mnuActionDelete", "Delete");
}

void StatusPage::connectHandlers() {
    const auto click = [this](QPushButton* b, const char* where, void (StatusPage::*handler)()) {
        connect(b, &QPushButton::clicked, this, guarded(QString::fromLatin1(where), [this, handler] { (this->*handler)(); }));
    };
    click(cmdStatusPause, "cmdStatusPause_Click", &StatusPage::cmdStatusPause_Click);
    click(cmdStatusResume, "cmdStatusResume_Click", &StatusPage::cmdStatusResume_Click);
    click(cmdStatusClone, "cmdStatusClone_Click", &StatusPage::cmdStatusClone_Click);
    click(cmdStatusCancel, "cmdStatusCancel_Click", &StatusPage::cmdStatusCancel_Click);
    click(cmdStatusDelete, "cmdStatusDelete_Click", &StatusPage::cmdStatusDelete_Click);
    click(cmdStatusRefresh, "cmdStatusRefresh_Click", &StatusPage::cmdStatusRefresh_Click);
    // Each menu item runs its button's handler and nothing else.
    for (auto [item, b] : {std::pair{mnuActionPause, cmdStatusPause}, std::pair{mnuActionResume, cmdStatusResume},
                           std::pair{mnuActionClone, cmdStatusClone}, std::pair{mnuActionCancel, cmdStatusCancel},
                           std::pair{mnuActionDelete, cmdStatusDelete}})
        connect(item, &QAction::triggered, b,
                guarded(item->objectName() + QStringLiteral("_Click"), [b] { b->click(); }));

    connect(tvwStatus->selectionModel(), &QItemSelectionModel::currentChanged, this,
            guarded(QStringLiteral("tvwStatus_NodeClick"), [this](const QModelIndex& current) {
                currentNodeChanged(current);
            }));
    connect(tvwStatus, &QTreeView::clicked, this,
            guarded(QStringLiteral("tvwStatus_NodeClick"), [this](const QModelIndex& node) {
                if (pressedOnCurrent_ && node == tvwStatus->currentIndex()) tvwStatus_NodeClick(node);
            }));
    connect(tvwStatus, &QTreeView::expanded, this,
            guarded(QStringLiteral("tvwStatus_Expand"), [this](const QModelIndex& node) { tvwStatus_Expand(node); }));
    connect(tvwStatus, &QTreeView::collapsed, this,
            guarded(QStringLiteral("tvwStatus_Collapse"), [this](const QModelIndex& node) { tvwStatus_Collapse(node); }));
    connect(lvwStatus->header(), &QHeaderView::sectionClicked, this,
            guarded(QStringLiteral("lvwStatus_ColumnClick"), [this](int section) { lvwStatus_ColumnClick(section + 1); }));
    connect(lvwStatus, &QWidget::customContextMenuRequested, this,
            guarded(QStringLiteral("lvwStatus_ContextMenu"), [this](QPoint at) { lvwStatus_ContextMenu(at); }));
    connect(mnuListCopyAddress, &QAction::triggered, this, guarded(QStringLiteral("mnuListCopyAddress_Click"), [this] {
                if (!contextAddress_.isEmpty()) QGuiApplication::clipboard()->setText(contextAddress_);
            }));
    connect(lvwStatus, &QTreeView::clicked, this,
            guarded(QStringLiteral("lvwStatus_ItemClick"), [this](const QModelIndex& item) {
                // A link that cannot be opened is no reason for a message here.
                try {
                    lvwStatus_ItemClick(item);
                } catch (...) {
                }
            }));

    tvwStatus->onMouseDown = [this](Qt::MouseButton b, QPoint at) {
        guardHandler(QStringLiteral("tvwStatus_MouseDown"), [&] { tvwStatus_MouseDown(b, at); });
    };
    tvwStatus->onMouseMove = [this](Qt::MouseButtons b, QPoint at) {
        guardHandler(QStringLiteral("tvwStatus_MouseMove"), [&] { tvwStatus_MouseMove(b, at); });
    };
    tvwStatus->onMouseUp = [this](Qt::MouseButton b, QPoint at) {
        guardHandler(QStringLiteral("tvwStatus_MouseUp"), [&] { tvwStatus_MouseUp(b, at); });
    };
    tvwStatus->onDragOver = [this](QPoint at) {
        QString icon = imagekey::DragNowhere;
        guardHandler(QStringLiteral("tvwStatus_DragOver"), [&] { icon = tvwStatus_DragOver(at); });
        if (icon == imagekey::DragAccepted) return Qt::CopyAction;
        return icon == imagekey::DragRefused ? Qt::MoveAction : Qt::LinkAction;
    };
    tvwStatus->onDrop = [this](QPoint at) {
        guardHandler(QStringLiteral("tvwStatus_DragDrop"), [&] { tvwStatus_DragDrop(at); });
    };
    tvwStatus->onDragLeave = [this] { stopAutoScroll(); };
    tvwStatus->onFocus = [this](bool got, Qt::FocusReason reason) { tvwStatus_Focus(got, reason); };
}

void StatusPage::frmMain_SetStatusButtonToolTips() {
    cmdStatusPause->setToolTip(QStringLiteral("Pause the selected task."));
    cmdStatusResume->setToolTip(QStringLiteral("Resume the selected task if it has been paused."));
    cmdStatusClone->setToolTip(QStringLiteral(
        "Make a copy of the selected task in the Task Editor as the basis for creating a new task."));
    cmdStatusCancel->setToolTip(QStringLiteral("Cancel the selected task. A cancelled task cannot be resumed."));
    cmdStatusDelete->setToolTip(QStringLiteral(
        "Permanently delete the selected task and references to associated result files from the database."));
}

void StatusPage::modGlobal_InitStatusColumns() {
    rootColumns_ = modGlobal_InitColumnTable(ColumnView::Root);
    taskColumns_ = modGlobal_InitColumnTable(ColumnView::Task);
}

void StatusPage::setButtons(const StatusButtonStates& s) {
    const auto set = [](QPushButton* b, QAction* a, bool on) {
        b->setEnabled(on);
        a->setEnabled(on);
    };
    set(cmdStatusPause, mnuActionPause, s.pause);
    set(cmdStatusResume, mnuActionResume, s.resume);
    set(cmdStatusClone, mnuActionClone, s.clone);
    set(cmdStatusCancel, mnuActionCancel, s.cancel);
    set(cmdStatusDelete, mnuActionDelete, s.del);
    setPrintEnabled(s.print);
}

void StatusPage::setPrintEnabled(bool enabled) {
    if (printEnabled_ == enabled) return;
    printEnabled_ = enabled;
    emit printEnabledChanged(enabled);
}

void StatusPage::tabMain_Click(bool statusTabShown) {
    if (!statusTabShown) {
        setPrintEnabled(false);
        return;
    }
    const QString key = selectedNodeKey();
    if (key.isEmpty()) return;
    const QString kind = splitNodeKey(key).kind;
    setPrintEnabled(kind == RootNodeKey || kind == QStringLiteral("task"));
}

void StatusPage::tvwStatus_Focus(bool gotFocus, Qt::FocusReason reason) {
    // A menu opening over the tree takes no focus from it, by mouse (popup)
    // or by keyboard (Alt gives the menu bar the focus): File Print must
    // stay usable from the menu bar.
    if (reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason) return;
    if (!gotFocus) {
        setPrintEnabled(false);
        return;
    }
    const QString kind = splitNodeKey(selectedNodeKey()).kind;
    setPrintEnabled(kind == RootNodeKey || kind == QStringLiteral("task"));
}

QStandardItem* StatusPage::selectedNode() const { return treeModel_->itemFromIndex(tvwStatus->currentIndex()); }

QString StatusPage::selectedNodeKey() const { return StatusTreeModel::keyOf(tvwStatus->currentIndex()); }

QStandardItem* StatusPage::nodeAt(QPoint at) const { return treeModel_->itemFromIndex(tvwStatus->indexAt(at)); }

void StatusPage::selectNode(QStandardItem* node) {
    if (!node) return;
    const QScopedValueRollback<bool> quiet(followSelection_, false);
    tvwStatus->selectionModel()->setCurrentIndex(treeModel_->indexFromItem(node), QItemSelectionModel::ClearAndSelect);
}

void StatusPage::currentNodeChanged(const QModelIndex& current) {
    if (followSelection_ && current.isValid()) tvwStatus_NodeClick(current);
}

}  // namespace tavrel
