#include "status/forms/StatusTreeView.h"

#include <QDragMoveEvent>
#include <QMimeData>
#include <QMouseEvent>

namespace tavrel {

StatusTreeView::StatusTreeView(QWidget* parent) : QTreeView(parent) {
    setDragEnabled(false);  // the page starts the one drag the tree has
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setAutoScroll(false);  // the page scrolls by its own bands while a result is dragged
}

const char* StatusTreeView::dragFormat() { return "application/x-tavrel-result-node"; }

void StatusTreeView::mousePressEvent(QMouseEvent* event) {
    if (onMouseDown) onMouseDown(event->button(), event->position().toPoint());
    QTreeView::mousePressEvent(event);
}

void StatusTreeView::mouseMoveEvent(QMouseEvent* event) {
    if (onMouseMove) onMouseMove(event->buttons(), event->position().toPoint());
    // A held button never drags a selection across the nodes: moving with it
    // is either a result drag or nothing.
    if (event->buttons() == Qt::NoButton) QTreeView::mouseMoveEvent(event);
}

void StatusTreeView::mouseReleaseEvent(QMouseEvent* event) {
    QTreeView::mouseReleaseEvent(event);
    if (onMouseUp) onMouseUp(event->button(), event->position().toPoint());
}

void StatusTreeView::dragEnterEvent(QDragEnterEvent* event) {
    if (!event->mimeData()->hasFormat(QString::fromLatin1(dragFormat()))) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void StatusTreeView::dragMoveEvent(QDragMoveEvent* event) {
    if (!event->mimeData()->hasFormat(QString::fromLatin1(dragFormat())) || !onDragOver) {
        event->ignore();
        return;
    }
    event->setDropAction(onDragOver(event->position().toPoint()));
    event->accept();
}

void StatusTreeView::dragLeaveEvent(QDragLeaveEvent* event) {
    if (onDragLeave) onDragLeave();
    event->accept();
}

void StatusTreeView::dropEvent(QDropEvent* event) {
    if (!event->mimeData()->hasFormat(QString::fromLatin1(dragFormat()))) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    if (onDrop) onDrop(event->position().toPoint());
}

void StatusTreeView::focusInEvent(QFocusEvent* event) {
    QTreeView::focusInEvent(event);
    if (onFocus) onFocus(true, event->reason());
}

void StatusTreeView::focusOutEvent(QFocusEvent* event) {
    QTreeView::focusOutEvent(event);
    if (onFocus) onFocus(false, event->reason());
}

}  // namespace tavrel
