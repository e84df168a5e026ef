// The list beside the tree: which columns and rows it shows for the selected
// node, its sorting and what a click on one of its rows opens.
#include "status/forms/StatusPage.h"

#include "clientcommon/BusyCursor.h"
#include "clientcommon/TaskDatabase.h"
#include "status/StatusListRows.h"
#include "status/forms/ListColumnWidths.h"
#include "status/forms/StatusListModel.h"
#include "status/forms/StatusTreeModel.h"
#include "status/forms/StatusTreeView.h"

#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <QTreeView>

namespace tavrel {

namespace {

const QString kRootView = QStringLiteral("root");
const QString kTaskView = QStringLiteral("task");
const QString kResultView = QStringLiteral("result");
constexpr int kParameterWidthTwips = 1800;
constexpr int kValueWidthTwips = 10000;

bool isWebAddress(const QString& text) {
    return text.startsWith(QStringLiteral("http://")) || text.startsWith(QStringLiteral("https://"));
}

}  // namespace

void StatusPage::saveWidthsOf(const QString& view) {
    ColumnTable* table = view == kRootView ? &rootColumns_ : view == kTaskView ? &taskColumns_ : nullptr;
    if (!table || listModel_->columnCount() != table->widths.size()) return;
    QList<int> widths;
    for (int i = 0; i < table->widths.size(); ++i) {
        const int twips = columnPixelsToTwips(lvwStatus->header()->sectionSize(i), lvwStatus->header());
        widths << twips;
        table->widths[i] = qint16(std::clamp(twips, 0, 32767));
    }
    modGlobal_SaveColumnWidths(view == kRootView ? ColumnView::Root : ColumnView::Task, widths);
}

void StatusPage::SaveColumnWidths(const QString& view) {
    if (view == StatusViewKind) saveWidthsOf(view);
}

void StatusPage::showColumnsFor(const QString& view) {
    if (StatusViewKind == view) return;
    // The widths of the view being left are kept for its next showing (the
    // result view's two are fixed and never kept).
    if (StatusViewKind == kRootView || StatusViewKind == kTaskView) saveWidthsOf(StatusViewKind);
    QStringList titles;
    QList<int> widths;
    if (view == kResultView) {
        titles = {QStringLiteral("Parameter"), QStringLiteral("Value")};
        widths = {kParameterWidthTwips, kValueWidthTwips};
    } else {
        const ColumnTable& table = view == kRootView ? rootColumns_ : taskColumns_;
        titles = table.titles;
        for (qint16 w : table.widths) widths << w;
    }
    listModel_->setColumns(titles);
    for (int i = 0; i < widths.size(); ++i) lvwStatus->header()->resizeSection(i, columnTwipsToPixels(widths[i], lvwStatus->header()));
    lvwStatus->header()->setSortIndicatorShown(false);
    StatusViewKind = view;
    StatusSortColumn = -1;
}

void StatusPage::tvwStatus_NodeClick(const QModelIndex& node) {
    const BusyCursor busy;
    QStandardItem* item = treeModel_->itemFromIndex(node);
    const NodeKeyParts key = splitNodeKey(StatusTreeModel::keyOf(item));
    if (key.kind == kRootView) showRootView();
    else if (key.kind == kTaskView) showTaskView(item);
    else if (key.kind == kResultView) showResultView(nodeNumber(StatusTreeModel::keyOf(item)));
    else listModel_->clearRows();  // a placeholder: columns and buttons stay as they were
    // A list left scrolled sideways would show the next node's values without
    // their names; the same node shown again (a refresh) keeps its scroll.
    const QString shown = StatusTreeModel::keyOf(item);
    if (shown != shownNodeKey_) lvwStatus->horizontalScrollBar()->setValue(0);
    shownNodeKey_ = shown;
}

void StatusPage::showRootView() {
    showColumnsFor(kRootView);
    listModel_->applyRows(readRootViewRows(TaskDbConnection));
    setButtons(rootViewButtons());
}

void StatusPage::showTaskView(QStandardItem* taskNode) {
    showColumnsFor(kTaskView);
    listModel_->applyRows(readTaskViewRows(TaskDbConnection, nodeNumber(StatusTreeModel::keyOf(taskNode))));
    // By the node's image, not the list's: the image shows an open request at once.
    setButtons(taskViewButtons(StatusTreeModel::imageOf(taskNode)));
}

void StatusPage::showResultView(qint32 resultNumber) {
    showColumnsFor(kResultView);
    listModel_->applyRows(readResultViewRows(TaskDbConnection, resultNumber));
    setButtons(resultViewButtons());
}

void StatusPage::lvwStatus_ColumnClick(int column) {
    if (listModel_->sortColumn() >= 0 && column == StatusSortColumn) StatusSortOrder = StatusSortOrder != 1 ? 1 : 0;
    else StatusSortOrder = 0;
    const Qt::SortOrder order = StatusSortOrder == 1 ? Qt::DescendingOrder : Qt::AscendingOrder;
    listModel_->sort(column - 1, order);
    lvwStatus->header()->setSortIndicatorShown(true);
    lvwStatus->header()->setSortIndicator(column - 1, order);
    StatusSortColumn = column;
}

QString StatusPage::addressOf(const QModelIndex& item) const {
    if (!item.isValid()) return {};
    const ListRow& row = listModel_->rowAt(item.row());
    const QString address = StatusViewKind == kResultView ? row.cells.value(1).text
                            : StatusViewKind == kTaskView ? row.cells.value(7).text
                                                          : QString();
    return isWebAddress(address) ? address : QString();
}

void StatusPage::lvwStatus_ContextMenu(QPoint at) {
    contextAddress_ = addressOf(lvwStatus->indexAt(at));
    mnuListCopyAddress->setEnabled(!contextAddress_.isEmpty());
    mnuList->popup(lvwStatus->viewport()->mapToGlobal(at));
}

void StatusPage::lvwStatus_ItemClick(const QModelIndex& item) {
    if (!item.isValid()) return;
    const ListRow& row = listModel_->rowAt(item.row());
    if (StatusViewKind == kResultView) {
        const QString value = row.cells.value(1).text;
        if (isWebAddress(value)) emit browserRequested(value);
        if (row.cells.value(0).text == QuellmarkRowName) emit quellmarkRequested(value);
    } else if (StatusViewKind == kTaskView) {
        const QString url = row.cells.value(7).text;
        if (isWebAddress(url)) emit browserRequested(url);
    }
}

}  // namespace tavrel
