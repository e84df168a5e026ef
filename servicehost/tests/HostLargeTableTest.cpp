// Requests and the start-up recovery over a task table of ten thousand rows,
// a long history of finished tasks of this and another computer around the
// few that matter: the answers and the jobs are those of a small table.
#include "HostWindowFixture.h"

#include "jobs/JobCollection.h"
#include "jobs/clsJob.h"
#include "servicehost/TaskAnswers.h"

#include <QSqlQuery>

using namespace tavrelsvc;
using hosttest::HostOnBothEngines;

namespace {

constexpr int kHistoryFrom = 100;
constexpr int kHistory = 10000;

class HostLargeTable : public HostOnBothEngines {
protected:
    void ask(int uid, const QString& word) {
        rows->request(uid, word);
        window->tmrRefresh_Timer();
    }
    QList<int> jobTasks() {
        QList<int> uids;
        for (int i = 1; i < NextJobIndex; ++i)
            if (clsJob* job = JobCollection.Item(QStringLiteral("T%1").arg(i))) uids << job->settings.uID;
        return uids;
    }
};

TEST_P(HostLargeTable, RecoveryAndEveryRequestAnswerAsOnASmallTable) {
    rows->addTask(3, {{"task_status", "paused"}});
    rows->addTask(50, {{"task_status", "running"}});
    rows->addFinishedTasks(kHistoryFrom, kHistory);
    rows->addTask(20001, {{"task_status", "running"}});
    rows->addTask(20002, {{"task_status", "running"}, {"action_request", "Pause"}, {"action_response", "Pending"}});
    rows->addTask(20003, {{"task_status", "completed"}, {"computer_name", "OTHER"}, {"action_response", "Pending"}});
    rows->addTask(20004, {{"task_status", "running"}, {"computer_name", "OTHER"}});
    rows->addTask(20005, {{"task_status", "running"}, {"schedule_type", "follower"}});
    load();

    // Jobs for this computer's live tasks, in task order; the rest untouched.
    EXPECT_EQ(jobTasks(), (QList<int>{3, 50, 20001, 20002, 20005}));
    EXPECT_FALSE(JobCollection.Item("T1")->tmrJob().isActive());  // paused
    EXPECT_TRUE(JobCollection.Item("T2")->tmrJob().isActive());
    EXPECT_EQ(rows->status(20002), "paused");
    EXPECT_EQ(rows->response(20002), "OK");
    EXPECT_TRUE(rows->column(20003, "action_response").isValid());
    EXPECT_EQ(rows->response(20003), "");
    EXPECT_EQ(rows->status(20004), "running");
    EXPECT_EQ(rows->untouchedFinishedTasks(), kHistory);
    EXPECT_EQ(hosttest::countContaining(log(), "Resuming running task"), 4);

    // Run: the follow-up check finds its follower by key, wherever it is.
    const QVariantMap followUp = {{"follow_up", 1}, {"fu_move", 1}};
    const auto withFollower = [&](const char* follower) {
        QVariantMap row = followUp;
        row["fu_task"] = follower;
        return row;
    };
    rows->addTask(30000, withFollower("20005 Task 20005"));
    rows->addTask(30001, withFollower("3 Task 3"));
    rows->addTask(30002, withFollower("25000 Gone"));
    for (const int uid : {30000, 30001, 30002}) ask(uid, "Run");
    EXPECT_EQ(rows->response(30000), "OK");
    EXPECT_EQ(rows->status(30000), "running");
    EXPECT_EQ(rows->response(30001), common::refusal(9002));
    EXPECT_EQ(rows->response(30002), common::refusal(9001));
    EXPECT_EQ(jobTasks(), (QList<int>{3, 50, 20001, 20002, 20005, 30000}));

    // Pause, Resume, Cancel of a task in the middle of the table.
    ask(50, "Pause");
    EXPECT_EQ(rows->response(50), "OK");
    EXPECT_EQ(rows->status(50), "paused");
    ask(50, "Resume");
    EXPECT_EQ(rows->status(50), "running");
    ask(50, "Cancel");
    EXPECT_EQ(rows->response(50), common::refusal(9011));
    ask(50, "Pause");
    ask(50, "Cancel");
    EXPECT_EQ(rows->response(50), "OK");
    EXPECT_EQ(rows->status(50), "cancelled");
    EXPECT_FALSE(jobTasks().contains(50));
    ask(kHistoryFrom + 1, "Pause");
    EXPECT_EQ(rows->response(kHistoryFrom + 1), common::refusal(9009));
    ask(kHistoryFrom + 3, "Resume");
    EXPECT_EQ(rows->response(kHistoryFrom + 3), common::refusal(9010));
    EXPECT_EQ(rows->untouchedFinishedTasks(), kHistory - 2);  // the two just answered
}

TAVREL_ON_BOTH_ENGINES(HostLargeTable);

}  // namespace
