#pragma once
// The status tree's view: a tree that hands its mouse, focus and drag events
// to the page (which holds the drag of a result onto a follower task) instead
// of selecting by dragging or moving items itself.
#include <QTreeView>

#include <functional>

namespace tavrel {

class StatusTreeView : public QTreeView {
    Q_OBJECT
public:
    explicit StatusTreeView(QWidget* parent = nullptr);

    // Set by the page. Positions are in viewport coordinates.
    std::function<void(Qt::MouseButton, QPoint)> onMouseDown;
    std::function<void(Qt::MouseButtons, QPoint)> onMouseMove;
    std::function<void(Qt::MouseButton, QPoint)> onMouseUp;
    // Answers the drop action whose drag cursor the page wants shown there.
    std::function<Qt::DropAction(QPoint)> onDragOver;
    std::function<void(QPoint)> onDrop;
    std::function<void()> onDragLeave;
    std::function<void(bool gotFocus, Qt::FocusReason)> onFocus;

    // The drag of a result from this tree, tested for by its format.
    static const char* dragFormat();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace tavrel
