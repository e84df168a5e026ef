// The page mirrors the model: user input goes to the model's handlers, and
// after each step every widget is set from the model's state with its
// signals blocked; the rules' chaining happens in the model.
#include "taskeditor/forms/TaskEditorPage.h"

#include "clientcommon/EventMessage.h"
#include "clientcommon/HandlerGuard.h"
#include "clientcommon/forms/ControlMirror.h"
#include "platform/MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace tavrel {

using S = TaskEditorState;

namespace {

void mirrorDate(QDateTimeEdit* edit, const DateControl& c) {
    const QSignalBlocker blocker(edit);
    if (c.value.isValid() && edit->dateTime() != c.value) edit->setDateTime(c.value);
    edit->setEnabled(c.enabled);
}

}  // namespace

void TaskEditorPage::connectControls() {
    const std::pair<QLineEdit*, TextControl S::*> texts[] = {
        {txtTaskLabel, &S::txtTaskLabel}, {txtTaskParam, &S::txtTaskParam}, {txtTaskPath, &S::txtTaskPath},
        {txtTaskWild, &S::txtTaskWild},   {txtTaskFUScore, &S::txtTaskFUScore}};
    for (const auto& [edit, control] : texts)
        connect(edit, &QLineEdit::textEdited, this,
                guarded(edit->objectName() + QStringLiteral("_Change"), [this, control](const QString& text) {
                    act([&] { editor_.setText(control, text); });
                }));

    const std::pair<QComboBox*, ListControl S::*> lists[] = {
        {cboTaskFilter, &S::cboTaskFilter},       {cboTaskSearchPriority, &S::cboTaskSearchPriority},
        {cboTaskFU, &S::cboTaskFU},               {cboTaskFUNumber, &S::cboTaskFUNumber},
        {cboTaskFUInterval, &S::cboTaskFUInterval}, {cboTaskOwner, &S::cboTaskOwner}};
    for (const auto& [box, control] : lists)
        connect(box, &QComboBox::activated, this,
                guarded(box->objectName() + QStringLiteral("_Click"),
                        [this, control](int index) { act([&] { editor_.choose(control, index); }); }));
    connect(cboTaskFUTask, &QComboBox::activated, this,
            guarded(QStringLiteral("cboTaskFUTask_Click"),
                    [this](int index) { act([&] { editor_.chooseFollower(index); }); }));

    const std::pair<QCheckBox*, CheckControl S::*> checks[] = {
        {chkTaskMergeFiles, &S::chkTaskMergeFiles}, {chkTaskSubDir, &S::chkTaskSubDir},
        {chkTaskNewOnly, &S::chkTaskNewOnly},       {chkTaskFUDiscard, &S::chkTaskFUDiscard},
        {chkTaskFURepeat, &S::chkTaskFURepeat},     {chkTaskFUMove, &S::chkTaskFUMove},
        {chkTaskAutoPrint, &S::chkTaskAutoPrint}};
    for (const auto& [box, control] : checks)
        connect(box, &QCheckBox::clicked, this,
                guarded(box->objectName() + QStringLiteral("_Click"),
                        [this, control](bool on) { act([&] { editor_.setCheck(control, on); }); }));

    for (int option = 0; option < 4; ++option)
        connect(optTaskSched[option], &QRadioButton::clicked, this,
                guarded(QStringLiteral("optTaskSched_Click"),
                        [this, option] { act([&] { editor_.chooseSchedule(option); }); }));

    const std::pair<QDateTimeEdit*, DateControl S::*> dates[] = {{dtpTaskDate, &S::dtpTaskDate},
                                                                  {dtpTaskTime, &S::dtpTaskTime}};
    for (const auto& [edit, control] : dates)
        connect(edit, &QDateTimeEdit::dateTimeChanged, this,
                guarded(edit->objectName() + QStringLiteral("_Change"),
                        [this, control](const QDateTime& value) { act([&] { editor_.setDate(control, value); }); }));

    const std::pair<QPushButton*, void (TaskEditorPage::*)()> buttons[] = {
        {cmdTaskNew, &TaskEditorPage::cmdTaskNew_Click},
        {cmdTaskRun, &TaskEditorPage::cmdTaskRun_Click},
        {cmdTaskParamAdd, &TaskEditorPage::cmdTaskParamAdd_Click},
        {cmdTaskOptions, &TaskEditorPage::cmdTaskOptions_Click},
        {cmdTaskExternal, &TaskEditorPage::cmdTaskExternal_Click},
        {cmdTaskFileAdd, &TaskEditorPage::cmdTaskFileAdd_Click},
        {cmdTaskFolderAdd, &TaskEditorPage::cmdTaskFolderAdd_Click},
        {cmdTaskBrowse, &TaskEditorPage::cmdTaskBrowse_Click},
        {cmdTaskFileDelete, &TaskEditorPage::cmdTaskFileDelete_Click}};
    for (const auto& [button, handler] : buttons)
        connect(button, &QPushButton::clicked, this,
                guarded(button->objectName() + QStringLiteral("_Click"), [this, handler = handler] {
                    (this->*handler)();
                }));
}

void TaskEditorPage::act(const std::function<void()>& step) {
    // Nothing may escape a handler; the state shown stays the model's.
    guardHandler(QStringLiteral("frmMain"), step);
    showState();
    showMessages();
}

void TaskEditorPage::showMessages() {
    for (const EditorMessage& m : editor_.takeMessages())
        platform::MsgBox(m.text, m.style, QStringLiteral("Sorvex Tavrel"));
}

void TaskEditorPage::showState() {
    const S& s = editor_.state();
    mirrorText(txtTaskLabel, s.txtTaskLabel);
    cmdTaskRun->setEnabled(s.cmdTaskRun.enabled);
    mirrorText(txtTaskParam, s.txtTaskParam);
    mirrorList(cboTaskFilter, s.cboTaskFilter);
    cmdTaskOptions->setEnabled(s.cmdTaskOptions.enabled);

    for (QWidget* w : {static_cast<QWidget*>(lblTaskFiles), static_cast<QWidget*>(lstTaskFiles),
                       static_cast<QWidget*>(cmdTaskFileAdd), static_cast<QWidget*>(cmdTaskFolderAdd),
                       static_cast<QWidget*>(cmdTaskFileDelete), static_cast<QWidget*>(chkTaskMergeFiles)})
        w->setVisible(s.fileListShown);
    if (itemsOf(lstTaskFiles) != s.lstTaskFiles) {
        mirrorItems(lstTaskFiles, s.lstTaskFiles);
        widenFileList();
    }
    cmdTaskFolderAdd->setEnabled(s.cmdTaskFolderAdd.enabled);
    mirrorCheck(chkTaskMergeFiles, s.chkTaskMergeFiles);
    for (QWidget* w : {static_cast<QWidget*>(lblTaskPath), static_cast<QWidget*>(txtTaskPath),
                       static_cast<QWidget*>(cmdTaskBrowse), static_cast<QWidget*>(lblTaskWild),
                       static_cast<QWidget*>(txtTaskWild), static_cast<QWidget*>(chkTaskSubDir),
                       static_cast<QWidget*>(chkTaskNewOnly)})
        w->setVisible(s.monitorShown);
    mirrorText(txtTaskPath, s.txtTaskPath);
    mirrorText(txtTaskWild, s.txtTaskWild);
    mirrorCheck(chkTaskSubDir, s.chkTaskSubDir);
    mirrorCheck(chkTaskNewOnly, s.chkTaskNewOnly);
    lblTaskFollower->setVisible(s.followerNoteShown);

    for (int option = 0; option < 4; ++option) {
        const QSignalBlocker blocker(optTaskSched[option]);
        optTaskSched[option]->setChecked(s.optTaskSched == option);
    }
    mirrorDate(dtpTaskDate, s.dtpTaskDate);
    mirrorDate(dtpTaskTime, s.dtpTaskTime);
    mirrorList(cboTaskSearchPriority, s.cboTaskSearchPriority);

    mirrorList(cboTaskFU, s.cboTaskFU);
    mirrorText(txtTaskFUScore, s.txtTaskFUScore);
    mirrorCheck(chkTaskFUDiscard, s.chkTaskFUDiscard);
    mirrorCheck(chkTaskFURepeat, s.chkTaskFURepeat);
    mirrorList(cboTaskFUNumber, s.cboTaskFUNumber);
    mirrorList(cboTaskFUInterval, s.cboTaskFUInterval);
    mirrorCheck(chkTaskFUMove, s.chkTaskFUMove);
    mirrorList(cboTaskFUTask, s.cboTaskFUTask);
    for (int i = 0; i < cboTaskFUTask->count(); ++i)
        cboTaskFUTask->setItemData(i, s.cboTaskFUTask.itemData.value(i, -1));

    Frame10->setEnabled(s.cboTaskOwner.enabled);
    mirrorList(cboTaskOwner, s.cboTaskOwner);
    mirrorCheck(chkTaskAutoPrint, s.chkTaskAutoPrint);
}

}  // namespace tavrel
