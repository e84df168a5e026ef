// Pause, Resume, Cancel and Delete as the status buttons run them.
#include "StatusDbFixture.h"

#include "status/TaskActions.h"

#include <QDir>
#include <QFile>

using namespace tavrel;
using statustest::StatusDb;

namespace {

class Actions : public StatusDb {};

TEST_P(Actions, RequestsAreWrittenOnlyForOwnTasksWithNothingOpen) {
    addTask(1, {{"task_status", "running"}});
    addTask(2, {{"task_status", "running"}, {"computer_name", "OTHERPC"}, {"user_name", "someone"}});
    addTask(3, {{"task_status", "running"}, {"action_response", "Pending"}});
    addTask(4, {{"task_status", "paused"}});

    EXPECT_TRUE(modGlobal_RequestTaskAction(1, TaskAction::Pause));
    EXPECT_EQ(taskColumn(1, "action_request").toString(), "Pause");
    EXPECT_TRUE(boxes.texts.isEmpty());

    struct Refusal {
        qint32 uid;
        TaskAction action;
        QString message;
    } refusals[] = {
        {1, TaskAction::Pause, "Sorry, this command is not valid at the moment"},  // the first is not taken yet
        {2, TaskAction::Pause, "This task is owned by someone@OTHERPC"},
        {3, TaskAction::Pause, "Sorry, this command is not valid at the moment"},
        {9, TaskAction::Resume, "Could not find task when trying to resume"},
    };
    for (const Refusal& r : refusals) {
        boxes.texts.clear();
        EXPECT_FALSE(modGlobal_RequestTaskAction(r.uid, r.action)) << r.message.toStdString();
        ASSERT_EQ(boxes.texts.size(), 1);
        EXPECT_TRUE(boxes.texts[0].endsWith(r.message)) << boxes.texts[0].toStdString();
    }
    EXPECT_TRUE(taskColumn(2, "action_request").isNull());
    EXPECT_EQ(taskColumn(3, "action_response").toString(), "Pending");

    // Cancel asks first; No writes nothing.
    boxes.texts.clear();
    boxes.answers = {platform::vbNo};
    EXPECT_FALSE(modGlobal_RequestTaskAction(4, TaskAction::Cancel));
    EXPECT_EQ(boxes.texts, QStringList{"Are you sure you wish to cancel this task?\r\n(a cancelled task cannot be resumed)"});
    EXPECT_TRUE(taskColumn(4, "action_request").isNull());
    EXPECT_TRUE(modGlobal_RequestTaskAction(4, TaskAction::Cancel));
    EXPECT_EQ(taskColumn(4, "action_request").toString(), "Cancel");
}

TEST_P(Actions, DeleteRemovesRowsAndTheCacheFolderInsideTheRoot) {
    addTask(1, {{"task_status", "completed"}, {"task_label", "Old run"}});
    addTask(2, {{"task_status", "completed"}});
    addFile(1, 1, "/data/a.raw");
    addFile(2, 1, "/data/b.raw");
    addFile(3, 2, "/data/c.raw");
    addResult(1, 1);
    addResult(2, 2);
    const QString folder = PeakListRoot + "/1 Old run";
    testsupport::writeFile(folder + "/a.qpl", "peaks");

    boxes.answers = {platform::vbNo};
    EXPECT_FALSE(modGlobal_AskAndDeleteTask(1, PeakListRoot));
    EXPECT_EQ(count("Sorvex_Tavrel_Tasks"), 2);
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].startsWith("Permanently delete this task and associated results\r\nfrom the Sorvex Tavrel "
                                          "database?\r\n\r\n(This will not delete"));

    EXPECT_TRUE(modGlobal_AskAndDeleteTask(1, PeakListRoot));
    EXPECT_EQ(count("Sorvex_Tavrel_Tasks", "task_UID = 1"), 0);
    EXPECT_EQ(count("Sorvex_Tavrel_Files"), 1);
    EXPECT_EQ(count("Sorvex_Tavrel_Results"), 1);
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_EQ(boxes.texts.size(), 2);  // the two questions, nothing else
    // The task whose folder was never made goes without a word.
    EXPECT_TRUE(frmMain_DeleteTask(2, PeakListRoot));
    EXPECT_EQ(boxes.texts.size(), 2);
}

TEST_P(Actions, DeleteRefusesOpenRequestsAndLeavesFoldersOutsideTheRoot) {
    addTask(1, {{"task_status", "completed"}, {"action_response", "OK"}});
    addResult(1, 1);
    EXPECT_FALSE(frmMain_DeleteTask(1, PeakListRoot));
    EXPECT_EQ(boxes.texts, QStringList{"Sorry, this command is not valid at the moment"});
    EXPECT_EQ(count("Sorvex_Tavrel_Tasks"), 1);
    EXPECT_EQ(count("Sorvex_Tavrel_Results"), 1);

    // A label that climbs out of the root names a folder that is not the task's.
    QDir().mkpath(PeakListRoot);
    const QString outside = home.file("keep");
    testsupport::writeFile(outside + "/precious.txt", "data");
    addTask(2, {{"task_status", "completed"}, {"task_label", "x/../../keep"}});
    QDir().mkpath(PeakListRoot + "/2 x");
    boxes.texts.clear();
    EXPECT_TRUE(frmMain_DeleteTask(2, PeakListRoot));
    EXPECT_TRUE(QFileInfo::exists(outside + "/precious.txt"));
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].startsWith("Unable to delete ")) << boxes.texts[0].toStdString();

    // A cache folder that is a link elsewhere is not followed.
    addTask(3, {{"task_status", "completed"}, {"task_label", "linked"}});
    ASSERT_TRUE(QFile::link(outside, PeakListRoot + "/3 linked"));
    boxes.texts.clear();
    EXPECT_TRUE(frmMain_DeleteTask(3, PeakListRoot));
    EXPECT_TRUE(QFileInfo::exists(outside + "/precious.txt"));
    EXPECT_EQ(boxes.texts.size(), 1);

    boxes.texts.clear();
    EXPECT_FALSE(frmMain_DeleteTask(9, PeakListRoot));
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].endsWith("Could not find task when trying to delete"));
}

TAVREL_ON_BOTH_ENGINES(Actions);

}  // namespace
