// The task commands and the result drag, as the page runs them.
#include "StatusPageFixture.h"

#include <QMenu>

using namespace tavrel;
using statustest::Emissions;
using statustest::StatusPageTest;

namespace {

class PageActions : public StatusPageTest {};

TEST_P(PageActions, PauseShowsTheOpenRequestAtOnce) {
    addTask(1, {{"task_status", "running"}});
    addResult(1, 1);
    start();
    page->tvwStatus->expand(indexOf("task_1"));  // open, so its list is not shown again for its results
    click("task_1");
    ASSERT_TRUE(page->cmdStatusPause->isEnabled());
    page->cmdStatusPause->click();
    EXPECT_EQ(taskColumn(1, "action_request").toString(), "Pause");
    EXPECT_EQ(image("task_1"), "pending");
    EXPECT_FALSE(page->cmdStatusPause->isEnabled());
    EXPECT_FALSE(page->mnuActionPause->isEnabled());
    // The service took it and answered; the refresh clears the answer.
    c().execute("UPDATE Sorvex_Tavrel_Tasks SET action_request = NULL, action_response = 'OK', task_status = 'paused'");
    page->RefreshStatus();
    EXPECT_EQ(image("task_1"), "paused");
    EXPECT_TRUE(taskColumn(1, "action_response").isNull());
    EXPECT_TRUE(page->cmdStatusResume->isEnabled());  // the new image offers its commands
    // The menu item runs the button's command.
    page->mnuActionResume->trigger();
    EXPECT_EQ(taskColumn(1, "action_request").toString(), "Resume");
}

TEST_P(PageActions, CloneAsksTheEditorForTheTask) {
    addTask(1, {{"task_status", "completed"}, {"computer_name", "OTHERPC"}, {"user_name", "someone"}});
    start();
    Emissions clone(page.get(), &StatusPage::cloneTaskRequested);
    click("task_1");
    page->cmdStatusClone->click();
    ASSERT_EQ(clone.size(), 1);
    EXPECT_EQ(clone[0][0].toLongLong(), 1);
    EXPECT_TRUE(boxes.texts.isEmpty());
}

TEST_P(PageActions, DeleteTakesTheNodeAndTheListFollows) {
    addTask(1, {{"task_status", "completed"}});
    addTask(2, {{"task_status", "completed"}});
    addResult(1, 2);
    start();
    page->tvwStatus->expand(indexOf("task_2"));
    click("task_2");
    page->cmdStatusDelete->click();  // answered Yes
    EXPECT_EQ(node("task_2"), nullptr);
    EXPECT_EQ(node("result_1"), nullptr);
    EXPECT_EQ(count("Sorvex_Tavrel_Tasks"), 1);
    EXPECT_FALSE(page->selectedNodeKey().isEmpty());
    EXPECT_EQ(page->statusViewKind(), splitNodeKey(page->selectedNodeKey()).kind);
}

TEST_P(PageActions, ResultDraggedOntoAFollower) {
    addTask(1, {{"task_status", "completed"}});
    addTask(2, {{"task_status", "running"}, {"schedule_type", "follower"}});
    addTask(3, {{"task_status", "running"}});
    addFile(1, 1, "\\\\LABPC\\data\\run5.raw");
    addResult(5, 1);
    start();
    page->tvwStatus->expand(indexOf("task_1"));

    page->tvwStatus_MouseDown(Qt::LeftButton, pointOf("result_5"));
    page->tvwStatus_MouseMove(Qt::LeftButton, pointOf("result_5") + QPoint(30, 0));
    ASSERT_EQ(dragsStarted, 1);
    EXPECT_TRUE(page->resultDragActive());
    EXPECT_EQ(page->tvwStatus_DragOver(pointOf("task_3")), "dragdrop3");
    EXPECT_EQ(page->tvwStatus_DragOver(pointOf("task_1")), "dragdrop3");
    EXPECT_EQ(page->tvwStatus_DragOver(pointOf("result_5")), "dragdrop1");
    EXPECT_EQ(page->tvwStatus_DragOver(pointOf("task_2")), "dragdrop2");

    // The refresh waits while the drag lasts.
    addTask(4, {{"task_status", "running"}});
    Emissions events(page.get(), &StatusPage::eventLogDue);
    page->RefreshStatus();
    EXPECT_EQ(node("task_4"), nullptr);
    EXPECT_EQ(events.size(), 0);

    page->tvwStatus_DragDrop(pointOf("task_2"));
    EXPECT_FALSE(page->resultDragActive());
    EXPECT_EQ(count("Sorvex_Tavrel_Files", "task_UID = 2 AND file_name = ?", {"\\\\LABPC\\data\\run5.raw"}), 1);
    EXPECT_TRUE(boxes.texts.isEmpty());
    page->RefreshStatus();
    EXPECT_NE(node("task_4"), nullptr);
}

TEST_P(PageActions, DragBackOntoItselfIsAClickAndEdgesScroll) {
    addTask(1, {{"task_status", "completed"}});
    addResult(5, 1);
    start();
    page->tvwStatus->expand(indexOf("task_1"));
    Emissions timer(page.get(), &StatusPage::autoScrollTimerWanted);
    page->tvwStatus_MouseDown(Qt::LeftButton, pointOf("result_5"));
    page->tvwStatus_MouseMove(Qt::LeftButton, pointOf("result_5") + QPoint(0, 40));

    const int height = page->tvwStatus->viewport()->height();
    page->tvwStatus_DragOver(QPoint(10, 5));  // 75 twips from the top
    ASSERT_EQ(timer.size(), 1);
    EXPECT_TRUE(timer[0][0].toBool());
    page->tvwStatus_DragOver(QPoint(10, height / 2));
    EXPECT_FALSE(timer[1][0].toBool());
    page->tvwStatus_DragOver(QPoint(10, height - 10));  // 150 twips from the bottom
    EXPECT_TRUE(timer[2][0].toBool());
    page->tvwStatus_DragOver(QPoint(10, 0));  // the very edge does not scroll
    EXPECT_FALSE(timer[3][0].toBool());

    page->tvwStatus_DragOver(pointOf("result_5"));
    page->tvwStatus_DragDrop(pointOf("result_5"));
    EXPECT_EQ(page->statusViewKind(), "result");
    EXPECT_EQ(page->selectedNodeKey(), "result_5");
    EXPECT_EQ(count("Sorvex_Tavrel_Files"), 0);
    // A press without a move starts no drag.
    page->tvwStatus_MouseDown(Qt::LeftButton, pointOf("result_5"));
    page->tvwStatus_MouseUp(Qt::LeftButton, pointOf("result_5"));
    EXPECT_EQ(dragsStarted, 1);
}

TAVREL_ON_BOTH_ENGINES(PageActions);

}  // namespace
