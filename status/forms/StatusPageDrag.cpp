// A result dragged from the tree onto a follower task: the drag icon tells
// whether the node under the mouse takes it, the tree scrolls near its edges,
// and the drop hands the result's data file to the follower.
#include "status/forms/StatusPage.h"

#include "clientcommon/forms/FormLayout.h"
#include "status/ResultDrop.h"
#include "status/forms/StatusIcons.h"
#include "status/forms/StatusTreeModel.h"
#include "status/forms/StatusTreeView.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QPalette>
#include <QScrollBar>

namespace tavrel {

namespace {

constexpr int kTopBandTwips = 300;
constexpr int kBottomBandTwips = 400;
constexpr int kDragCursorSize = 32;

}  // namespace

void StatusPage::tvwStatus_MouseDown(Qt::MouseButton, QPoint at) {
    DragNode = tvwStatus->indexAt(at);
    pressedOnCurrent_ = DragNode.isValid() && DragNode == tvwStatus->currentIndex();
    pressPoint_ = at;
    ResultDragActive = false;
}

void StatusPage::tvwStatus_MouseMove(Qt::MouseButtons buttons, QPoint at) {
    if (buttons != Qt::LeftButton || ResultDragActive || !DragNode.isValid()) return;
    if (!StatusTreeModel::keyOf(DragNode).startsWith(QStringLiteral("result"))) return;
    if ((at - pressPoint_).manhattanLength() < QApplication::startDragDistance()) return;
    ResultDragActive = true;
    runResultDrag();
}

void StatusPage::startQDrag() {
    auto* drag = new QDrag(tvwStatus);
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(StatusTreeView::dragFormat()), StatusTreeModel::keyOf(DragNode).toUtf8());
    drag->setMimeData(data);
    // The cursor is the verdict: each drop action the tree answers stands for one drag icon.
    drag->setDragCursor(statusPixmap(imagekey::DragAccepted, kDragCursorSize), Qt::CopyAction);
    drag->setDragCursor(statusPixmap(imagekey::DragRefused, kDragCursorSize), Qt::MoveAction);
    drag->setDragCursor(statusPixmap(imagekey::DragNowhere, kDragCursorSize), Qt::LinkAction);
    drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::LinkAction);
    // Released anywhere, over the tree or not: the drag is over and the refresh may run again.
    endResultDrag();
}

QString StatusPage::tvwStatus_DragOver(QPoint at) {
    if (!ResultDragActive) return imagekey::DragNowhere;
    highlightDropNode(tvwStatus->indexAt(at));
    DragPoint = at;
    const int y = at.y() * kTwipsPerPixel;
    const int height = tvwStatus->viewport()->height() * kTwipsPerPixel;
    bool scroll = true;
    if (y > 0 && y < kTopBandTwips) ScrollUpward = true;
    else if (y > height - kBottomBandTwips && y < height) ScrollUpward = false;
    else scroll = false;
    if (scroll != autoScrollOn_) {
        autoScrollOn_ = scroll;
        emit autoScrollTimerWanted(scroll);
    }
    QStandardItem* dragged = treeModel_->itemFromIndex(DragNode);
    QStandardItem* target = treeModel_->itemFromIndex(DropHighlight);
    return dragIconFor(StatusTreeModel::keyOf(dragged),
                       dragged && dragged->parent() ? StatusTreeModel::keyOf(dragged->parent()) : QString(),
                       StatusTreeModel::keyOf(target), StatusTreeModel::tagOf(target));
}

void StatusPage::AutoScrollTick() {
    if (!ResultDragActive) return;
    highlightDropNode(tvwStatus->indexAt(DragPoint));
    tvwStatus->verticalScrollBar()->triggerAction(ScrollUpward ? QAbstractSlider::SliderSingleStepSub
                                                               : QAbstractSlider::SliderSingleStepAdd);
}

void StatusPage::tvwStatus_DragDrop(QPoint) {
    QStandardItem* dragged = treeModel_->itemFromIndex(DragNode);
    QStandardItem* target = treeModel_->itemFromIndex(DropHighlight);
    const bool click = target && target == dragged;
    if (target && dragged && !click) {
        const QString icon =
            dragIconFor(StatusTreeModel::keyOf(dragged),
                        dragged->parent() ? StatusTreeModel::keyOf(dragged->parent()) : QString(),
                        StatusTreeModel::keyOf(target), StatusTreeModel::tagOf(target));
        // A refused target showed its verdict in the drag icon already.
        if (icon == imagekey::DragAccepted)
            modGlobal_DropResultOnTask(nodeNumber(StatusTreeModel::keyOf(dragged)),
                                       nodeNumber(StatusTreeModel::keyOf(target)));
    }
    const QModelIndex clicked = click ? QModelIndex(DragNode) : QModelIndex();
    endResultDrag();
    if (clicked.isValid()) {
        selectNode(treeModel_->itemFromIndex(clicked));
        tvwStatus_NodeClick(clicked);
    }
}

void StatusPage::endResultDrag() {
    highlightDropNode(QModelIndex());
    ResultDragActive = false;
    stopAutoScroll();
}

void StatusPage::stopAutoScroll() {
    if (!autoScrollOn_) return;
    autoScrollOn_ = false;
    emit autoScrollTimerWanted(false);
}

void StatusPage::highlightDropNode(const QModelIndex& node) {
    if (QStandardItem* previous = treeModel_->itemFromIndex(DropHighlight)) previous->setData(QVariant(), Qt::BackgroundRole);
    DropHighlight = node;
    if (QStandardItem* now = treeModel_->itemFromIndex(node))
        now->setBackground(tvwStatus->palette().brush(QPalette::Inactive, QPalette::Highlight));
}

}  // namespace tavrel
