// The external processes dialog: its lists, its wait rule, OK and Cancel.
#include "PageFixture.h"

#include "clientcommon/forms/ControlMirror.h"
#include "taskeditor/forms/frmActions.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

using namespace taskeditortest;
using tavrel::frmActions;
using tavrel::itemsOf;

class ExternalProcessesDialog : public ClientDatabase {
protected:
    tavrel::ExternalProcessSettings current() const {
        tavrel::ExternalProcessSettings s;
        s.stage[tavrel::StagePreTask] = {"backup.sh", 1, 1};
        return s;
    }
};

TEST_P(ExternalProcessesDialog, ListsTheCurrentCommandThenNoneThenTheHistory) {
    insertTask(1, {{"pre_task_command", "backup.sh"}, {"post_task_command", "mail me"}});
    insertTask(2, {{"post_task_command", "mail me"}});
    frmActions dialog(current(), tavrel::TaskDbConnection);
    EXPECT_EQ(dialog.windowTitle(), "Sorvex Tavrel: External processes");
    EXPECT_EQ(itemsOf(dialog.cboActionsPreTask), QStringList({"backup.sh", "--- No external process ---", "backup.sh"}));
    EXPECT_EQ(dialog.cboActionsPreTask->currentText(), "backup.sh");
    EXPECT_EQ(itemsOf(dialog.cboActionsPreSearch), QStringList({"--- No external process ---"}));
    EXPECT_EQ(itemsOf(dialog.cboActionsPostTask), QStringList({"--- No external process ---", "mail me"}));
    EXPECT_EQ(dialog.cboActionsPostTask->lineEdit()->maxLength(), 2048);
    EXPECT_TRUE(dialog.chkActionsWait[tavrel::StagePreTask]->isChecked());
    EXPECT_TRUE(dialog.chkActionsHalt[tavrel::StagePreTask]->isEnabled());
    EXPECT_FALSE(dialog.chkActionsHalt[tavrel::StagePostTask]->isEnabled());
    EXPECT_EQ(dialog.property("helpContextId").toInt(), 8192);
    EXPECT_EQ(dialog.cboActionsPostSearch->property("helpContextId").toInt(), 8193);
    EXPECT_EQ(dialog.findChild<QCheckBox*>("chkActionsPreTaskWait")->property("helpContextId").toInt(), 8211);
}

TEST_P(ExternalProcessesDialog, OkStoresWhatTheBoxesHold) {
    frmActions dialog(current(), tavrel::TaskDbConnection);
    // Wait cleared: Halt greyed but ticked, and stored as it stands.
    dialog.chkActionsWait[tavrel::StagePreTask]->click();
    EXPECT_FALSE(dialog.chkActionsHalt[tavrel::StagePreTask]->isEnabled());
    EXPECT_TRUE(dialog.chkActionsHalt[tavrel::StagePreTask]->isChecked());
    dialog.cboActionsPreSearch->setEditText("  convert.sh <file>  ");
    dialog.cboActionsPostSearch->setEditText("--- No external process ---");
    dialog.chkActionsWait[tavrel::StagePostTask]->click();
    dialog.cmdOK->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const auto& s = dialog.settings().stage;
    EXPECT_EQ(s[tavrel::StagePreTask], (tavrel::ExternalProcess{"backup.sh", 0, 1}));
    EXPECT_EQ(s[tavrel::StagePreSearch], (tavrel::ExternalProcess{"convert.sh <file>", 0, 0}));
    EXPECT_EQ(s[tavrel::StagePostSearch], (tavrel::ExternalProcess{"", 0, 0}));
    EXPECT_EQ(s[tavrel::StagePostTask], (tavrel::ExternalProcess{"", 1, 0}));
}

TEST_P(ExternalProcessesDialog, CancelKeepsEverythingAndAnUnreadableHistoryIsSaid) {
    frmActions cancelled(current(), tavrel::TaskDbConnection);
    cancelled.cboActionsPreTask->setEditText("other");
    cancelled.chkActionsWait[tavrel::StagePreTask]->click();
    cancelled.cmdCancel->click();
    EXPECT_EQ(cancelled.result(), QDialog::Rejected);
    EXPECT_EQ(cancelled.settings(), current());

    sql("DROP TABLE Sorvex_Tavrel_Tasks");
    g->boxes.texts.clear();
    frmActions dialog(current(), tavrel::TaskDbConnection);
    ASSERT_EQ(g->boxes.texts.size(), 1);  // once, not once a stage
    EXPECT_TRUE(g->boxes.texts[0].startsWith("The commands of earlier tasks cannot be read: "));
    EXPECT_EQ(itemsOf(dialog.cboActionsPreTask), QStringList({"backup.sh", "--- No external process ---"}));
}

TAVREL_ON_BOTH_ENGINES(ExternalProcessesDialog);
