// The real TavrelService over a task table of ten thousand finished tasks
// around the few that matter: every request gets the answer it gets on a
// small table, leaves the same row, and a start-up after a kill recovers
// only this computer's live tasks.
#include "ServiceProgram.h"

#include "servicehost/TaskAnswers.h"

#include <QSqlRecord>

#include <csignal>

using hosttest::ServiceProgram;
using namespace tavrelsvc;

namespace {

constexpr int kHistoryFrom = 100;
constexpr int kHistory = 10000;

class ServiceLargeTable : public ::testing::TestWithParam<testsupport::DbEngine> {
protected:
    void SetUp() override {
        const QString skip = env.prepare();
        if (!skip.isEmpty()) GTEST_SKIP() << qPrintable(skip);
        ASSERT_EQ(hosttest::runSwitch({"-install", "-silent"}), 0);
    }
    hosttest::TaskRows& rows() { return *env.rows; }
    QStringList log() const { return hosttest::eventLog(env.home.path()); }

    // Each step's answer, status and request cell, as the task's row holds them after it.
    QStringList walk(int uid) {
        QStringList seen;
        for (const char* word : {"Run", "Pause", "Resume", "Cancel", "Resume", "Pause", "Pause", "Run", "Cancel",
                                 "Resume", "Pause"}) {
            env.ask(uid, word);
            seen << QStringLiteral("%1: %2, %3, %4")
                        .arg(word, rows().response(uid), rows().status(uid),
                             rows().requestWord(uid).isNull() ? QStringLiteral("no request") : QStringLiteral("request left"));
        }
        return seen;
    }
    // Every column of the task's row but its key and label.
    QVariantMap rowOf(int uid) {
        QSqlQuery q = rows().connection().query(QStringLiteral("SELECT * FROM Sorvex_Tavrel_Tasks WHERE task_UID = ?"), {uid});
        QVariantMap row;
        if (!q.next()) return row;
        for (int i = 0; i < q.record().count(); ++i) row[q.record().fieldName(i).toLower()] = q.value(i);
        row.remove("task_uid");
        row.remove("task_label");
        return row;
    }

    hosttest::ServiceHome env{GetParam()};
};

TEST_P(ServiceLargeTable, RequestsAndRecoveryAnswerAsOnASmallTable) {
    ServiceProgram service(env.home.path(), "LABPC");
    ASSERT_TRUE(service.start());
    rows().addTask(1);
    const QStringList small = walk(1);
    ASSERT_EQ(small.first(), "Run: OK, running, no request");
    ASSERT_EQ(small.last(), "Pause: " + common::refusal(9009) + ", cancelled, no request");

    rows().addTask(2, {{"task_status", "running"}});
    rows().addFinishedTasks(kHistoryFrom, kHistory);
    rows().addTask(20001);
    EXPECT_EQ(walk(20001), small);
    EXPECT_EQ(rowOf(20001), rowOf(1));
    EXPECT_EQ(rows().untouchedFinishedTasks(), kHistory);

    // Killed with live tasks beside the history: the next start makes a job
    // of this computer's running and paused tasks alone.
    rows().addTask(30001, {{"task_status", "running"}});
    rows().addTask(30002, {{"task_status", "paused"}});
    rows().addTask(30003, {{"task_status", "running"}, {"computer_name", "OTHER"}});
    service.signal(SIGKILL);
    ASSERT_TRUE(service.waitForExit());
    ServiceProgram again(env.home.path(), "LABPC");
    ASSERT_TRUE(again.start());
    const QStringList lines = log();
    EXPECT_EQ(hosttest::countContaining(lines, "|2|Resuming running task"), 1);
    EXPECT_EQ(hosttest::countContaining(lines, "|30001|Resuming running task"), 1);
    EXPECT_EQ(hosttest::countContaining(lines, "Resuming running task"), 2);
    struct Ask {
        int uid;
        const char* word;
        QString answer;
        const char* status;
    };
    const QList<Ask> asks = {
        {30001, "Pause", answer::OK, "paused"},         {30002, "Resume", answer::OK, "running"},
        {2, "Pause", answer::OK, "paused"},             {2, "Cancel", answer::OK, "cancelled"},
        {kHistoryFrom + 1, "Resume", common::refusal(9010), "completed"},
    };
    for (const Ask& a : asks) {
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(a.word).arg(a.uid).toStdString());
        env.ask(a.uid, a.word);
        EXPECT_EQ(rows().response(a.uid), a.answer);
        EXPECT_EQ(rows().status(a.uid), a.status);
    }
    EXPECT_EQ(rows().status(30003), "running");
    EXPECT_TRUE(rows().column(30003, "action_response").isNull());
    EXPECT_EQ(rows().untouchedFinishedTasks(), kHistory - 1);  // the one just answered
    EXPECT_EQ(hosttest::countContaining(log(), "Error|"), 0) << qPrintable(log().join('\n'));
}

TAVREL_ON_BOTH_ENGINES(ServiceLargeTable);

}  // namespace
