// The status tree and the list views it selects.
#include "StatusPageFixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QScrollBar>

#include "common/Settings.h"
#include "status/forms/ListColumnWidths.h"

using namespace tavrel;
using statustest::Emissions;
using statustest::StatusPageTest;

namespace {

class Tree : public StatusPageTest {};

TEST_P(Tree, BuiltWithOneNodePerShownTaskAndTheRootViewShown) {
    addTask(2, {{"task_status", "running"}, {"schedule_type", "follower"}});
    addTask(1, {{"task_status", "completed"}, {"task_label", "First"}});
    addTask(3, {{"task_status", "finished"}});
    addTask(4, {{"computer_name", "OTHERPC"}});
    start();

    EXPECT_EQ(childKeys("root"), (QStringList{"task_1", "task_2", "task_4"}));
    EXPECT_EQ(node("root")->text(), "Task Database");
    EXPECT_EQ(image("root"), "openfile");  // shown open
    EXPECT_EQ(node("task_1")->text(), "1: First");
    EXPECT_EQ(StatusTreeModel::tagOf(node("task_2")), "follower_2_running");
    EXPECT_EQ(image("task_1"), "completed");
    EXPECT_EQ(image("task_2"), "follower");
    EXPECT_EQ(image("task_4"), "pending");
    EXPECT_EQ(childKeys("task_1"), QStringList{"dummy_task_1"});
    EXPECT_FALSE(page->tvwStatus->isExpanded(indexOf("task_1")));

    EXPECT_EQ(page->selectedNodeKey(), "root");
    EXPECT_EQ(page->statusViewKind(), "root");
    EXPECT_EQ(page->listModel()->columnCount(), 18);
    EXPECT_EQ(page->listModel()->headerData(16, Qt::Horizontal).toString(), "Follow up task");
    EXPECT_EQ(listColumn(1), (QStringList{"1: First", "2: Task 2", "4: Task 4"}));
    EXPECT_EQ(page->listModel()->index(1, 0).data(StatusListModel::KeyRole).toString(), "task_2");
    EXPECT_FALSE(page->listModel()->index(1, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_EQ(page->lvwStatus->header()->sectionSize(1), columnTwipsToPixels(3000, page->lvwStatus->header()));
    for (QPushButton* b : {page->cmdStatusPause, page->cmdStatusResume, page->cmdStatusClone, page->cmdStatusCancel,
                           page->cmdStatusDelete})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_TRUE(page->printEnabled());
    EXPECT_EQ(page->cmdStatusCancel->toolTip(), "Cancel the selected task. A cancelled task cannot be resumed.");
}

TEST_P(Tree, TaskResultAndPlaceholderViews) {
    addTask(1, {{"task_status", "paused"}});
    addResult(11, 1, {{"input_data_file", "C:\\data\\run1.raw"}, {"result_url", "http://server/r11"}});
    addResult(12, 1);
    addTask(2, {{"task_status", "completed"}});
    start();

    click("task_1");
    EXPECT_EQ(page->statusViewKind(), "task");
    EXPECT_EQ(page->listModel()->columnCount(), 10);
    EXPECT_EQ(listColumn(0), (QStringList{"run1.raw", "run12.raw"}));
    EXPECT_TRUE(page->cmdStatusResume->isEnabled());
    EXPECT_TRUE(page->cmdStatusCancel->isEnabled());
    EXPECT_TRUE(page->cmdStatusClone->isEnabled());
    EXPECT_FALSE(page->cmdStatusPause->isEnabled());
    EXPECT_FALSE(page->cmdStatusDelete->isEnabled());
    EXPECT_TRUE(page->mnuActionResume->isEnabled());
    EXPECT_FALSE(page->mnuActionPause->isEnabled());

    click("task_2");
    EXPECT_TRUE(page->listModel()->rowCount() == 0);
    EXPECT_TRUE(page->cmdStatusDelete->isEnabled());
    EXPECT_FALSE(page->cmdStatusResume->isEnabled());

    // Opening a task node puts its results in place of the placeholder.
    page->tvwStatus->expand(indexOf("task_1"));
    EXPECT_EQ(childKeys("task_1"), (QStringList{"result_11", "result_12"}));
    EXPECT_EQ(node("result_11")->text(), "run1.raw");
    page->tvwStatus->expand(indexOf("task_2"));
    EXPECT_TRUE(childKeys("task_2").isEmpty());

    click("result_11");
    EXPECT_EQ(page->statusViewKind(), "result");
    EXPECT_EQ(listColumn(0).size(), 10);
    EXPECT_EQ(listColumn(1)[7], "http://server/r11");
    EXPECT_FALSE(page->cmdStatusClone->isEnabled());
    EXPECT_FALSE(page->printEnabled());
    EXPECT_EQ(page->lvwStatus->header()->sectionSize(0), columnTwipsToPixels(1800, page->lvwStatus->header()));

    // Collapsing the root shows it shut.
    page->tvwStatus->collapse(indexOf("root"));
    EXPECT_EQ(image("root"), "shutfile");
}

TEST_P(Tree, ClickOnTheShownNodeShowsItAgain) {
    addTask(1, {{"task_status", "running"}});
    addTask(2, {{"task_status", "running"}});
    start();
    mouseClick("task_1");
    EXPECT_EQ(page->selectedNodeKey(), "task_1");
    EXPECT_EQ(page->listModel()->rowCount(), 0);
    addResult(1, 1);
    mouseClick("task_1");
    EXPECT_EQ(listColumn(0), QStringList{"run1.raw"});
    mouseClick("task_2");
    EXPECT_EQ(page->listModel()->rowCount(), 0);
}

TEST_P(Tree, ListClicksOpenPagesAndProjects) {
    addTask(1, {{"task_status", "running"}});
    addResult(11, 1, {{"result_url", "http://server/r11"}, {"quellmark_project", "/data/p.rov"}});
    addResult(12, 1, {{"result_url", "ftp://server/r12"}});
    start();
    Emissions browser(page.get(), &StatusPage::browserRequested);
    Emissions quellmark(page.get(), &StatusPage::quellmarkRequested);
    click("task_1");
    page->lvwStatus_ItemClick(page->listModel()->index(0, 2));
    page->lvwStatus_ItemClick(page->listModel()->index(1, 0));  // not a web address
    ASSERT_EQ(browser.size(), 1);
    EXPECT_EQ(browser[0][0].toString(), "http://server/r11");

    page->tvwStatus->expand(indexOf("task_1"));
    click("result_11");
    page->lvwStatus_ItemClick(page->listModel()->index(7, 0));  // "Result file URL"
    page->lvwStatus_ItemClick(page->listModel()->index(8, 1));  // "Sorvex Quellmark"
    page->lvwStatus_ItemClick(page->listModel()->index(0, 1));  // "Data file"
    EXPECT_EQ(browser.size(), 2);
    ASSERT_EQ(quellmark.size(), 1);
    EXPECT_EQ(quellmark[0][0].toString(), "/data/p.rov");
}

// Where no browser opens the page, its address can still be taken along.
TEST_P(Tree, TheListsContextMenuCopiesAResultsAddress) {
    addTask(1, {{"task_status", "running"}});
    addResult(11, 1, {{"result_url", "http://server/r11"}});
    addResult(12, 1, {{"result_url", "ftp://server/r12"}});
    start();
    click("task_1");
    ASSERT_NE(page->mnuListCopyAddress, nullptr);
    EXPECT_EQ(page->mnuListCopyAddress->text(), "Copy &address");
    const auto rowRect = [&](int row) { return page->lvwStatus->visualRect(page->listModel()->index(row, 0)); };
    QGuiApplication::clipboard()->clear();
    emit page->lvwStatus->customContextMenuRequested(rowRect(1).center());  // not a web address
    EXPECT_FALSE(page->mnuListCopyAddress->isEnabled());
    page->mnuList->hide();
    emit page->lvwStatus->customContextMenuRequested(rowRect(0).center());
    EXPECT_TRUE(page->mnuListCopyAddress->isEnabled());
    page->mnuListCopyAddress->trigger();
    page->mnuList->hide();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "http://server/r11");

    page->tvwStatus->expand(indexOf("task_1"));
    click("result_11");
    QGuiApplication::clipboard()->clear();
    emit page->lvwStatus->customContextMenuRequested(rowRect(7).center());  // "Result file URL"
    page->mnuListCopyAddress->trigger();
    page->mnuList->hide();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "http://server/r11");
}

// A list scrolled sideways starts the next node at its first column, whatever
// the kind of either node; the node shown again by a refresh keeps its scroll.
TEST_P(Tree, AnotherNodeShowsItsFirstColumn) {
    addTask(1, {{"task_status", "running"}});
    addTask(2, {{"task_status", "completed"}});
    addResult(11, 1, {{"result_url", "http://server/r11"}});
    addResult(12, 1, {{"result_url", "http://server/r12"}});
    start();
    page->resize(500, 400);
    QScrollBar* sideways = page->lvwStatus->horizontalScrollBar();
    const auto scrolledAway = [&] {
        QCoreApplication::processEvents();
        ASSERT_GT(sideways->maximum(), 0);
        sideways->setValue(sideways->maximum());
        QCoreApplication::processEvents();
    };
    const auto shownFromItsStart = [&](const QString& key) {
        click(key);
        QCoreApplication::processEvents();
        return sideways->value() == 0;
    };
    click("root");
    scrolledAway();
    EXPECT_TRUE(shownFromItsStart("task_1")) << "root to task";
    scrolledAway();
    EXPECT_TRUE(shownFromItsStart("task_2")) << "task to task";
    scrolledAway();
    page->RefreshStatus();  // re-shows the collapsed task node
    QCoreApplication::processEvents();
    EXPECT_EQ(sideways->value(), sideways->maximum()) << "a refresh of the same node";
    page->tvwStatus->expand(indexOf("task_1"));
    EXPECT_TRUE(shownFromItsStart("result_11")) << "task to result";

    // A click on a result's address scrolls the list to it.
    page->lvwStatus->setCurrentIndex(page->listModel()->index(7, 1));
    scrolledAway();
    EXPECT_TRUE(shownFromItsStart("result_12")) << "result to result";
    scrolledAway();
    EXPECT_TRUE(shownFromItsStart("root")) << "result to root";
}

TEST_P(Tree, ColumnWidthsAreKeptPerViewAndSortingToggles) {
    addTask(1, {{"task_status", "running"}});
    addResult(1, 1, {{"hit_score", 9}});
    addResult(2, 1, {{"hit_score", 100}});
    addResult(3, 1, {{"hit_score", 20}});
    start();
    QHeaderView* header = page->lvwStatus->header();
    header->resizeSection(1, 300);
    click("task_1");  // leaving the root view keeps its widths
    const int saved = common::modGlobal_GetSetting("Sorvex Tavrel", "Root Column Width", "1").toInt();
    EXPECT_EQ(saved, columnPixelsToTwips(300, header));
    EXPECT_TRUE(common::modGlobal_GetAllSettings("Sorvex Tavrel", "Task Column Width").isEmpty());

    const auto scores = [&] { return listColumn(4); };
    page->lvwStatus_ColumnClick(5);
    EXPECT_EQ(scores(), (QStringList{"9", "20", "100"}));  // by number, not by text
    page->lvwStatus_ColumnClick(5);
    EXPECT_EQ(scores(), (QStringList{"100", "20", "9"}));
    page->lvwStatus_ColumnClick(5);
    EXPECT_EQ(scores(), (QStringList{"9", "20", "100"}));
    page->lvwStatus_ColumnClick(5);
    page->lvwStatus_ColumnClick(1);  // another column starts ascending
    EXPECT_EQ(listColumn(0), (QStringList{"run1.raw", "run2.raw", "run3.raw"}));

    header->resizeSection(5, 100);
    click("root");
    EXPECT_NEAR(header->sectionSize(1), 300, 1);  // as left
    const common::RegValueTable task = common::modGlobal_GetAllSettings("Sorvex Tavrel", "Task Column Width");
    ASSERT_EQ(task.size(), 10);
    EXPECT_EQ(common::modGlobal_GetSetting("Sorvex Tavrel", "Task Column Width", "5").toInt(),
              columnPixelsToTwips(100, header));

    // The next start takes them back.
    StatusPage again;
    again.modGlobal_InitStatusColumns();
    again.frmMain_BuildStatusTree();
    EXPECT_NEAR(again.lvwStatus->header()->sectionSize(1), 300, 1);
}

TEST_P(Tree, PrintFollowsTheTabAndTheTreeFocus) {
    addTask(1, {{"task_status", "running"}});
    start();
    Emissions print(page.get(), &StatusPage::printEnabledChanged);
    page->tabMain_Click(false);
    EXPECT_FALSE(page->printEnabled());
    page->tabMain_Click(true);
    EXPECT_TRUE(page->printEnabled());
    page->tvwStatus->expand(indexOf("task_1"));
    addResult(1, 1);
    page->frmMain_ExpandTaskNode(node("task_1"));
    click("result_1");
    page->tabMain_Click(true);
    EXPECT_FALSE(page->printEnabled());
    click("task_1");
    EXPECT_TRUE(page->printEnabled());
    EXPECT_EQ(print.size(), 4);
}

TAVREL_ON_BOTH_ENGINES(Tree);

}  // namespace
