#pragma once
// The "&Status" tab of the main window: the status tree of tasks and results
// and the list that shows the selected node.
#include <QWidget>

namespace tavrel {

class StatusPage : public QWidget {
    Q_OBJECT
public:
    explicit StatusPage(QWidget* parent = nullptr);

    // The periodic refresh from the task database (the main window's tmrRefresh).
    void RefreshStatus();
    // tmrJob(0): the tree scrolls while a dragged result rests in its top or
    // bottom band.
    void AutoScrollTick();
    // A task the editor has just created joins the tree.
    void ShowNewTask(long taskUid);

signals:
    // Clone: the task editor is to be loaded with this stored task.
    void cloneTaskRequested(long taskUid);
};

}  // namespace tavrel
