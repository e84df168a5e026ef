#include "taskeditor/forms/TaskEditorPage.h"

#include <QVBoxLayout>

namespace tavrel {

TaskEditorPage::TaskEditorPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TaskEditorPage"));
    new QVBoxLayout(this);
}

void TaskEditorPage::ResetTaskEditor() {}

void TaskEditorPage::LoadTaskIntoEditor(long) {}

}  // namespace tavrel
