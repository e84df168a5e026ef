#pragma once
// The "&Task Editor" tab of the main window: the task being described and its
// Run command.
#include <QWidget>

namespace tavrel {

class TaskEditorPage : public QWidget {
    Q_OBJECT
public:
    explicit TaskEditorPage(QWidget* parent = nullptr);

    void ResetTaskEditor();
    void LoadTaskIntoEditor(long taskUid);

signals:
    // Run stored a new task and asked the service to run it.
    void taskCreated(long taskUid);
};

}  // namespace tavrel
