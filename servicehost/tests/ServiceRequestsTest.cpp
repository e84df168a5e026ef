// Requests answered by the real TavrelService program, on SQLite and on
// PostgreSQL: every answer comes through the client's wake-up, with the
// polling interval at 60 seconds.
#include "ServiceProgram.h"

#include "servicehost/TaskAnswers.h"

#include <csignal>

using hosttest::ServiceProgram;
using namespace tavrelsvc;

namespace {

class ServiceRequests : public ::testing::TestWithParam<testsupport::DbEngine> {
protected:
    void SetUp() override {
        const QString skip = env.prepare();
        if (!skip.isEmpty()) GTEST_SKIP() << qPrintable(skip);
        ASSERT_EQ(hosttest::runSwitch({"-install", "-silent"}), 0);
    }
    hosttest::TaskRows& rows() { return *env.rows; }
    QStringList log() const { return hosttest::eventLog(env.home.path()); }

    hosttest::ServiceHome env{GetParam()};
};

TEST_P(ServiceRequests, RunPauseResumeCancelOfOneTask) {
    ServiceProgram service(env.home.path(), "LABPC");
    ASSERT_TRUE(service.start());
    rows().addTask(1);
    struct Step {
        const char* word;
        QString answer;
        const char* status;
    };
    const QList<Step> steps = {
        {"Run", answer::OK, "running"},
        {"Pause", answer::OK, "paused"},
        {"Resume", answer::OK, "running"},
        {"Cancel", common::refusal(9011), "running"},
        {"Resume", common::refusal(9010), "running"},
        {"Pause", answer::OK, "paused"},
        {"Pause", common::refusal(9009), "paused"},
        {"Run", common::refusal(9000), "paused"},
        {"Cancel", answer::OK, "cancelled"},
        {"Resume", common::refusal(9010), "cancelled"},
        {"Pause", common::refusal(9009), "cancelled"},
    };
    int n = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(QString("step %1: %2").arg(++n).arg(s.word).toStdString());
        env.ask(1, s.word);
        EXPECT_EQ(rows().response(1), s.answer);
        EXPECT_EQ(rows().status(1), s.status);
        EXPECT_TRUE(rows().requestWord(1).isNull());
    }
    const QStringList lines = log();
    EXPECT_EQ(hosttest::countContaining(lines, "|1|Starting new task"), 1);
    EXPECT_EQ(hosttest::countContaining(lines, "|1|Task paused"), 2);
    EXPECT_EQ(hosttest::countContaining(lines, "|1|Task resumed by user"), 1);
    EXPECT_EQ(hosttest::countContaining(lines, "|1|Task cancelled by user"), 1);
    EXPECT_EQ(hosttest::countContaining(lines, "Error|"), 0) << qPrintable(lines.join('\n'));
    EXPECT_TRUE(service.running());
}

struct Refusal {
    const char* name;
    QVariantMap row;
    QString answer;
};

// Every refusal of a "Run" this machine can reach; the vendor components are
// not installed here, so their probes refuse tasks that need them.
TEST_P(ServiceRequests, RunRefusalsAnsweredInOnePoll) {
    ServiceProgram service(env.home.path(), "LABPC");
    ASSERT_TRUE(service.start());
    rows().addTask(100, {{"task_status", "running"}});
    rows().addTask(101, {{"task_status", "paused"}});
    const QVariantMap fu = {{"follow_up", 1}, {"fu_move", 1}};
    const auto with = [](QVariantMap base, const QVariantMap& more) {
        for (auto it = more.begin(); it != more.end(); ++it) base[it.key()] = it.value();
        return base;
    };
    const QList<Refusal> cases = {
        {"status completed", {{"task_status", "completed"}}, common::refusal(9000)},
        {"follower missing", with(fu, {{"fu_task", "555 gone"}}), common::refusal(9001)},
        {"follower paused", with(fu, {{"fu_task", "101 Task 101"}}), common::refusal(9002)},
        {"fu_task Null", with(fu, {{"fu_task", QVariant()}}), common::refusal(9003)},
        {"batch without files", {{"schedule_type", "now"}}, common::refusal(9004)},
        {"no parameter file", {{"parameter_set", "/nonexistent/x.par"}}, common::refusal(9005)},
        {"no LCQ program", {{"import_filter", "ThermoFinnigan LCQ / DECA RAW file"}}, common::refusal(9007)},
        {"WIFF library not installed", {{"import_filter", "AB | MDS Sciex Analyst .WIFF file"}}, common::refusal(9008)},
        {"Data Explorer not installed", {{"import_filter", "Data Explorer (Voyager) MS data"}}, common::refusal(9012)},
        {"underscore in label", {{"task_label", "a_b"}}, common::refusal(9013)},
        {"Quellmark not installed", {{"import_filter", "Sorvex Quellmark"}}, common::refusal(9014)},
        {"label leaving the root", {{"task_label", "../x"}}, common::refusal(9015)},
        {"TS2Sorvex not installed", {{"import_filter", "AB 4000 Series TS2Sorvex"}}, common::refusal(9016)},
    };
    const int first = 200;
    int uid = first;
    for (const Refusal& c : cases) rows().addTask(uid++, c.row);
    rows().addTask(uid, with(fu, {{"fu_task", "100 Task 100"}}));  // accepted
    for (int u = first; u <= uid; ++u) rows().request(u, "Run");
    ASSERT_TRUE(tavrel::modGlobal_NotifyService(true));
    for (int i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(rows().response(first + i), cases[i].answer);
        EXPECT_TRUE(rows().requestWord(first + i).isNull());
        EXPECT_NE(rows().status(first + i), "running");
    }
    EXPECT_EQ(rows().response(uid), answer::OK);
    EXPECT_EQ(hosttest::countContaining(log(), "Starting new task"), 1);
}

// SIGKILL leaves a running task, a paused one and one paused on request;
// the next start makes each a job again and answers nothing twice.
TEST_P(ServiceRequests, KilledWhileTasksRunThenStartedAgain) {
    rows().addTask(1);
    rows().addTask(2, {{"task_status", "paused"}});
    rows().addTask(3);
    {
        ServiceProgram service(env.home.path(), "LABPC");
        ASSERT_TRUE(service.start());
        env.ask(1, "Run");
        env.ask(3, "Run");
        env.ask(3, "Pause");
        ASSERT_EQ(rows().status(3), "paused");
        service.signal(SIGKILL);
        ASSERT_TRUE(service.waitForExit());
    }
    ServiceProgram again(env.home.path(), "LABPC");
    ASSERT_TRUE(again.start());  // the killed service's lock is taken over
    QStringList lines = log();
    EXPECT_EQ(hosttest::countContaining(lines, "|1|Resuming running task"), 1);
    EXPECT_EQ(hosttest::countContaining(lines, "Starting new task"), 2);
    EXPECT_EQ(rows().response(1), answer::OK);

    // Each task has its job again: the requests reach the job, not the "no job" answer.
    struct Ask {
        int uid;
        const char* word;
        const char* status;
    };
    for (const Ask& a : {Ask{1, "Pause", "paused"}, Ask{2, "Resume", "running"}, Ask{3, "Cancel", "cancelled"}}) {
        SCOPED_TRACE(a.word);
        env.ask(a.uid, a.word);
        EXPECT_EQ(rows().response(a.uid), answer::OK);
        EXPECT_EQ(rows().status(a.uid), a.status);
    }
    lines = log();
    EXPECT_EQ(hosttest::countContaining(lines, "Starting new task"), 2);
    EXPECT_EQ(hosttest::countContaining(lines, "(TVS1003)"), 0) << qPrintable(lines.join('\n'));
}

// Two services of one computer name on one task database (two machines of
// one name, or two program folders) would take the same tasks: the second
// says so and stops, until the first is gone.
TEST_P(ServiceRequests, OneServicePerComputerNameWorksADatabase) {
    ServiceProgram first(env.home.path(), "LABPC");
    ASSERT_TRUE(first.start());

    testsupport::TempHome other;  // a second program folder on the same database
    QDir().mkpath(other.file("qpl"));
    hosttest::saveSettings(env.sim.baseUrl(), env.db.connectionString(), other.file("qpl"), 60);
    const QByteArray previousComputer = qgetenv("COMPUTERNAME");
    qputenv("COMPUTERNAME", "labpc");  // names compare without letter case
    QString err;
    const int status = hosttest::runSwitch({"-debug"}, &err);
    qputenv("COMPUTERNAME", previousComputer);
    EXPECT_NE(status, 0);
    const QString refusal = "Another Sorvex Tavrel Service works on this task database for computer LABPC; this one stops";
    EXPECT_TRUE(err.contains(refusal)) << qPrintable(err);
    EXPECT_EQ(hosttest::countContaining(hosttest::eventLog(other.path()), refusal), 1);
    EXPECT_EQ(hosttest::countContaining(hosttest::eventLog(other.path()), "Connected to "), 0);

    // Another computer's service works beside it ...
    {
        ServiceProgram otherComputer(other.path(), "OTHERPC");
        EXPECT_TRUE(otherComputer.start());
        otherComputer.signal(SIGTERM);
        EXPECT_TRUE(otherComputer.waitForExit());
    }
    // ... and the lock goes with the service that held it, however it ended.
    first.signal(SIGKILL);
    ASSERT_TRUE(first.waitForExit());
    ServiceProgram second(other.path(), "LABPC");
    EXPECT_TRUE(second.start());
    EXPECT_TRUE(second.running());
}

TAVREL_ON_BOTH_ENGINES(ServiceRequests);

}  // namespace
