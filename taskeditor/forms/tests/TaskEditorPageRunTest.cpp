// Run from the page on both engines: the task stored, the signal for the
// status tree, and the button given back however Run ends.
#include "PageFixture.h"

#include <QLineEdit>
#include <QPushButton>

using namespace taskeditortest;

class PageRun : public ClientDatabase {};

TEST_P(PageRun, RunStoresTheTaskAndAnnouncesIt) {
    PageOnTabs t(g->inputs());
    tavrel::TaskEditorPage& p = *t.page;
    p.ResetTaskEditor();  // from the client's own sources: no server session, the empty table
    EXPECT_FALSE(p.cboTaskOwner->isEnabled());
    p.txtTaskParam->setText(g->parameterFile);
    emit p.txtTaskParam->textEdited(g->parameterFile);
    p.lstTaskFiles_OLEDragDrop({g->parameterFile});
    QList<long> created;
    QObject::connect(&p, &tavrel::TaskEditorPage::taskCreated, [&](long uid) { created << uid; });
    p.cmdTaskRun->click();
    ASSERT_EQ(created.size(), 1) << g->boxes.texts.join('\n').toStdString();
    EXPECT_EQ(created[0], 1);
    EXPECT_TRUE(p.cmdTaskRun->isEnabled());
    EXPECT_EQ(count("Sorvex_Tavrel_Files"), 1);

    // A refusal is shown; Run is enabled again and nothing is announced.
    p.txtTaskLabel->setText("a:b");
    emit p.txtTaskLabel->textEdited("a:b");
    g->boxes.texts.clear();
    p.cmdTaskRun->click();
    EXPECT_EQ(created.size(), 1);
    EXPECT_EQ(g->boxes.texts.size(), 1);
    EXPECT_TRUE(p.cmdTaskRun->isEnabled());

    // So is an unexpected failure of the database.
    p.txtTaskLabel->setText("fine");
    emit p.txtTaskLabel->textEdited("fine");
    sql("DROP TABLE Sorvex_Tavrel_Files");
    g->boxes.texts.clear();
    p.cmdTaskRun->click();
    EXPECT_EQ(created.size(), 1);
    ASSERT_EQ(g->boxes.texts.size(), 1);
    EXPECT_TRUE(g->boxes.texts[0].contains("cmdTaskRun_Click")) << g->boxes.texts[0].toStdString();
    EXPECT_TRUE(p.cmdTaskRun->isEnabled());
    EXPECT_EQ(count("Sorvex_Tavrel_Tasks"), 1);
}

TEST_P(PageRun, CloneLoadsAStoredTaskAndAGoneOneLeavesTheResetEditor) {
    insertTask(5, {{"task_label", "Liver"}, {"schedule_type", "monitor"}, {"monitor_directory", "/data/in"}});
    PageOnTabs t(g->inputs());
    tavrel::TaskEditorPage& p = *t.page;
    p.ResetTaskEditor();
    p.LoadTaskIntoEditor(5);
    EXPECT_EQ(p.txtTaskLabel->text(), "Copy of Liver");
    EXPECT_EQ(p.txtTaskPath->text(), "/data/in");
    EXPECT_TRUE(p.txtTaskPath->isVisible());

    p.ResetTaskEditor();
    EXPECT_THROW(p.LoadTaskIntoEditor(6), platform::Error);
    EXPECT_EQ(p.txtTaskLabel->text(), "Untitled");
}

TAVREL_ON_BOTH_ENGINES(PageRun);
