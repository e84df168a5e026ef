// The host window in this process on SQLite: start-up, the request poll, the
// task start's checks and the start-up recovery.
#include "HostWindowFixture.h"

#include "jobs/JobCollection.h"
#include "jobs/clsJob.h"
#include "platform/WindowMessages.h"
#include "service/Globals.h"
#include "service/Preferences.h"
#include "service/Probes.h"
#include "servicehost/JobFiling.h"
#include "servicehost/TaskAnswers.h"
#include "servicehost/frmMain.h"
#include "service/TaskDb.h"

#include <QFileInfo>
#include <QMenu>
#include <QSqlQuery>

#include <memory>

using namespace tavrelsvc;
using hosttest::Host;
using hosttest::HostOnBothEngines;
using hosttest::TaskRows;

namespace {

TEST_F(Host, RunStartsJobT1WithTheRowsValues) {
    rows->addTask(7, {{"fu_interval", QVariant()}, {"monitor_filename", QVariant()}, {"fu_number", QVariant()},
                      {"pre_task_command", "echo hi"}, {"pre_task_wait", 1}});
    load();
    const QStringList before = log();
    EXPECT_EQ(before.first(), "Event||" + QString(53, '-') + " Sorvex Tavrel Service Start Up " + QString(53, '-'));
    EXPECT_TRUE(before.value(1).endsWith("Sorvex Tavrel Service version " TAVREL_PROJECT_VERSION));  // the build's
    EXPECT_EQ(window->tmrRefresh().interval(), 60000);

    run(7);
    EXPECT_EQ(rows->response(7), "OK");
    EXPECT_EQ(rows->status(7), "running");
    EXPECT_TRUE(rows->requestWord(7).isNull());
    clsJob* job = JobCollection.Item("T1");
    ASSERT_NE(job, nullptr);
    EXPECT_EQ(job->settings.uID, 7);
    EXPECT_EQ(job->settings.task_label, "Task 7");
    EXPECT_EQ(job->Status(), "running");
    EXPECT_EQ(job->schedule_type(), "monitor");
    EXPECT_EQ(job->fu_interval(), "days");
    EXPECT_EQ(job->settings.monitor_filename, "*.*");
    EXPECT_EQ(job->settings.fu_number, 1);
    EXPECT_EQ(job->settings.stage(common::TaskStageId::PreTask).command, "echo hi");
    EXPECT_EQ(job->settings.stage(common::TaskStageId::PreTask).wait, clsJob::True);
    EXPECT_EQ(job->task_sorvex_url, sim.baseUrl());
    EXPECT_EQ(job->sessionID, "X X X");
    EXPECT_EQ(job->Peak_list_cache().toString(), root + "/7 Task 7");
    EXPECT_TRUE(QFileInfo(root + "/7 Task 7").isDir());
    EXPECT_TRUE(job->tmrJob().isActive());
    EXPECT_EQ(hosttest::countContaining(log(), "Starting new task"), 1);

    // A second Run of the running task is refused; the next job is T2.
    run(7);
    EXPECT_EQ(rows->response(7), common::refusal(9000));
    rows->addTask(8);
    run(8);
    EXPECT_NE(JobCollection.Item("T2"), nullptr);
}

struct Refusal {
    const char* name;
    QVariantMap row;
    QString expected;
};

TEST_F(Host, RunRefusalsAnswerTheirErrorAndMakeNoJob) {
    rows->addTask(100, {{"task_status", "running"}});  // a follower that runs
    rows->addTask(101, {{"task_status", "paused"}});   // one that does not
    const QVariantMap followUp = {{"follow_up", 1}, {"fu_move", 1}};
    const auto with = [](QVariantMap base, const QVariantMap& more) {
        for (auto it = more.begin(); it != more.end(); ++it) base[it.key()] = it.value();
        return base;
    };
    const QList<Refusal> cases = {
        {"not new", {{"task_status", "completed"}}, common::refusal(9000)},
        {"comma", {{"task_label", "a,b"}}, common::refusal(9013)},
        {"underscore", {{"task_label", "a_b"}}, common::refusal(9013)},
        {"fu_task Null", with(followUp, {{"fu_task", QVariant()}}), common::refusal(9003)},
        {"fu_task none", with(followUp, {{"fu_task", "--- None ---"}}), common::refusal(9003)},
        {"fu_task not a number", with(followUp, {{"fu_task", "12abc x"}}), common::refusal(9003)},
        {"fu_task too big", with(followUp, {{"fu_task", "99999999999 x"}}), common::refusal(9003)},
        {"follower missing", with(followUp, {{"fu_task", "555 gone"}}), common::refusal(9001)},
        {"follower paused", with(followUp, {{"fu_task", "101 Task 101"}}), common::refusal(9002)},
        {"now without files", {{"schedule_type", "now"}}, common::refusal(9004)},
        {"timed without files", {{"schedule_type", "timed"}}, common::refusal(9004)},
        {"no parameter file", {{"parameter_set", "/nonexistent/x.par"}}, common::refusal(9005)},
        {"no LCQ program", {{"import_filter", "ThermoFinnigan LCQ / DECA RAW file"}}, common::refusal(9007)},
        {"no WIFF library", {{"import_filter", "AB | MDS Sciex Analyst .WIFF file"}}, common::refusal(9008)},
        {"no Data Explorer", {{"import_filter", "Data Explorer (Voyager) MS data"}}, common::refusal(9012)},
        {"no Quellmark", {{"import_filter", "Sorvex Quellmark"}}, common::refusal(9014)},
        {"no TS2Sorvex", {{"import_filter", "AB 4000 Series TS2Sorvex"}}, common::refusal(9016)},
        {"label with slash", {{"task_label", "x/../../escape"}}, common::refusal(9015)},
        {"label with backslash", {{"task_label", "x\\y"}}, common::refusal(9015)},
        {"label dot dot", {{"task_label", ".."}}, common::refusal(9015)},
        {"overflowing column", {{"search_priority", 70000}}, "Error 6: Overflow"},
    };
    int uid = 200;
    for (const Refusal& c : cases) rows->addTask(uid++, c.row);
    // Accepted: follower running, monitor task without files, Masslynx (no component check).
    rows->addTask(uid, with(followUp, {{"fu_task", "100 Task 100"}, {"import_filter", "Masslynx sample list"}}));
    load();
    for (int u = 200; u <= uid; ++u) rows->request(u, "Run");
    window->tmrRefresh_Timer();  // one poll answers them all

    for (int i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(rows->response(200 + i), cases[i].expected);
        EXPECT_TRUE(rows->requestWord(200 + i).isNull());
        EXPECT_NE(rows->status(200 + i), "running");
    }
    EXPECT_EQ(rows->response(uid), "OK");
    EXPECT_EQ(JobCollection.Count(), 3);  // the accepted one and the two recovered followers
    EXPECT_FALSE(QFileInfo::exists(home.path() + "/escape"));
    EXPECT_FALSE(QFileInfo::exists(root + "/x"));
}

TEST_F(Host, MissingPeakListRootIsRefused) {
    rows->addTask(1);
    load();
    PeakListRoot = home.file("no-such-root");
    run(1);
    EXPECT_EQ(rows->response(1), common::refusal(9015));
}

TEST_F(Host, PauseResumeCancelAnswers) {
    rows->addTask(1);                                // new
    rows->addTask(2, {{"task_status", "paused"}});   // paused, job made by recovery
    rows->addTask(3);                                // will run and search
    rows->addTask(4, {{"task_status", "completed"}});
    load();
    run(3);
    ASSERT_EQ(rows->response(3), "OK");

    struct Ask {
        int uid;
        const char* word;
        QString expected;
    };
    const QList<Ask> asks = {
        {1, "Pause", common::refusal(9009)},  {4, "Pause", common::refusal(9009)},
        {1, "Resume", common::refusal(9010)}, {3, "Resume", common::refusal(9010)},
        {3, "Cancel", common::refusal(9011)}, {1, "Cancel", common::refusal(9011)},
    };
    for (const Ask& a : asks) {
        SCOPED_TRACE(QString("%1 %2").arg(a.uid).arg(a.word).toStdString());
        rows->request(a.uid, a.word);
        window->tmrRefresh_Timer();
        EXPECT_EQ(rows->response(a.uid), a.expected);
        EXPECT_TRUE(rows->requestWord(a.uid).isNull());
    }

    // A busy job: "Pending", the job pauses itself later.
    clsJob* running = JobCollection.Item("T2");
    ASSERT_NE(running, nullptr);
    ASSERT_EQ(running->settings.uID, 3);
    running->setJob_searching(true);
    rows->request(3, "Pause");
    window->tmrRefresh_Timer();
    EXPECT_EQ(rows->response(3), answer::Pending);
    EXPECT_EQ(running->PleasePause, clsJob::True);
    EXPECT_EQ(hosttest::countContaining(log(), "Event|3|Pause pending"), 1);
}

TEST_F(Host, RequestWithoutJobIsAnsweredAndThePollGoesOn) {
    rows->addTask(1, {{"task_status", "paused"}, {"computer_name", "OTHER"}});
    rows->addTask(5);
    rows->addTask(6);
    load();
    // A paused task of this computer whose job is gone (not made by this run).
    rows->set(1, "computer_name", "labpc");
    rows->request(1, "Resume");
    rows->request(5, "Run");
    rows->request(6, "Run");
    window->tmrRefresh_Timer();
    EXPECT_TRUE(rows->response(1).startsWith("Error 5: No job is running for task 1")) << qPrintable(rows->response(1));
    EXPECT_TRUE(rows->requestWord(1).isNull());
    EXPECT_EQ(rows->response(5), "OK");
    EXPECT_EQ(rows->response(6), "OK");
    EXPECT_EQ(hosttest::countContaining(log(), "(TVS1003) 5:"), 1);
}

TEST_F(Host, OtherComputersAndOtherWordsAreNotAnswered) {
    rows->addTask(1, {{"computer_name", "OTHER"}});
    rows->addTask(2);
    load();
    rows->request(1, "Run");
    rows->request(2, "run");
    window->tmrRefresh_Timer();
    EXPECT_TRUE(rows->column(1, "action_response").isNull());
    EXPECT_EQ(rows->requestWord(1).toString(), "Run");
    EXPECT_TRUE(rows->column(2, "action_response").isNull());
    EXPECT_EQ(JobCollection.Count(), 0);
}

TEST_F(Host, ShutDownStopsPollingAndWritesTheBanner) {
    rows->addTask(1);
    load();
    window->Form_Unload();
    rows->request(1, "Run");
    window->tmrRefresh_Timer();
    EXPECT_EQ(rows->requestWord(1).toString(), "Run");
    EXPECT_TRUE(log().last().endsWith(" Sorvex Tavrel Service Shut Down " + QString(53, '-')));
}

TEST_F(Host, RecoveryMakesJobsForRunningAndPausedTasksOfThisComputer) {
    rows->addTask(1, {{"task_status", "running"}});
    rows->addTask(2, {{"task_status", "running"}, {"search_priority", 70000}});  // a row that cannot be read
    rows->addTask(3, {{"task_status", "paused"}});
    rows->addTask(4, {{"task_status", "running"}, {"computer_name", "OTHER"}, {"action_response", "Pending"}});
    rows->addTask(5, {{"task_status", "running"}, {"action_request", "Pause"}, {"action_response", "Pending"}});
    rows->addTask(6, {{"task_status", "running"}, {"task_label", "a/b"}});
    rows->addTask(7, {{"task_status", "new"}});
    rows->addTask(8, {{"task_status", "running"}});
    load();

    ASSERT_EQ(JobCollection.Count(), 4);
    const QList<int> expected = {1, 3, 5, 8};
    for (int i = 0; i < expected.size(); ++i) {
        clsJob* job = JobCollection.Item(QString("T%1").arg(i + 1));
        ASSERT_NE(job, nullptr);
        EXPECT_EQ(job->settings.uID, expected[i]);
    }
    EXPECT_EQ(NextJobIndex, 5);
    EXPECT_TRUE(JobCollection.Item("T1")->tmrJob().isActive());
    EXPECT_FALSE(JobCollection.Item("T2")->tmrJob().isActive());  // paused
    EXPECT_FALSE(JobCollection.Item("T3")->tmrJob().isActive());  // Pause requested
    EXPECT_EQ(rows->response(4), "");                              // cleared, whatever the computer
    EXPECT_EQ(rows->response(5), "OK");                            // the job's pause answered it
    EXPECT_EQ(rows->status(5), "paused");
    EXPECT_EQ(rows->status(6), "cancelled");
    const QStringList lines = log();
    EXPECT_EQ(hosttest::countContaining(lines, "Resuming running task"), 3);
    EXPECT_EQ(hosttest::countContaining(lines, "Cleared action_response of Pending"), 1);
    EXPECT_EQ(hosttest::countContaining(lines, "Error|6|Unable to create peak list cache folder"), 1);
    EXPECT_EQ(hosttest::countContaining(lines, "Error|2|(TVS1007) 6: Overflow"), 1);
}

// The client tells a cleared answer (the empty text) from no answer (Null).
TEST_P(HostOnBothEngines, RecoveryClearsALeftOverPendingToTheEmptyText) {
    rows->addTask(1, {{"task_status", "paused"}, {"action_response", "Pending"}});
    rows->addTask(2, {{"task_status", "completed"}, {"computer_name", "OTHER"}, {"action_response", "Pending"}});
    load();
    EXPECT_EQ(hosttest::countContaining(log(), "Cleared action_response of Pending"), 2);
    QSqlQuery q = rows->connection().query(
        "SELECT COUNT(*) FROM Sorvex_Tavrel_Tasks WHERE action_response IS NOT NULL AND action_response = ''");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 2);
}

// Only a label that could lead out of PeakListRoot is refused: one holding
// a separator or NUL, or one that is "." or ".." itself.
TEST_P(HostOnBothEngines, LabelsWithDotsButNoWayOutGetTheirFolder) {
    struct Label {
        const char* text;
        bool accepted;
    };
    const QList<Label> labels = {{"Run 1..3", true}, {"..hidden", true}, {"end..", true}, {"a.b", true},
                                 {"..", false},      {".", false},       {"../up", false}, {"x/y", false}};
    int uid = 1;
    for (const Label& l : labels) rows->addTask(uid++, {{"task_label", l.text}});
    load();
    for (int u = 1; u < uid; ++u) rows->request(u, "Run");
    window->tmrRefresh_Timer();
    uid = 1;
    for (const Label& l : labels) {
        SCOPED_TRACE(l.text);
        EXPECT_EQ(rows->response(uid), l.accepted ? answer::OK : common::refusal(9015));
        EXPECT_EQ(QFileInfo(root + QStringLiteral("/%1 ").arg(uid) + l.text).isDir(), l.accepted);
        ++uid;
    }
    EXPECT_FALSE(QFileInfo::exists(home.path() + "/up"));
}

// Of two writers that both saw the request, only one takes it.
TEST_P(HostOnBothEngines, ARunRequestIsTakenByOneWriterOnly) {
    rows->addTask(1);
    rows->request(1, "Run");
    platform::AdoConnection otherService;
    otherService.open(db.connectionString());
    load();
    EXPECT_TRUE(takeRunRequest(otherService, 1));
    EXPECT_FALSE(takeRunRequest(TaskDbConnection, 1));
    EXPECT_EQ(rows->status(1), "running");
    EXPECT_EQ(rows->response(1), "OK");
    window->tmrRefresh_Timer();
    EXPECT_EQ(JobCollection.Count(), 0);  // nothing left to take
}

TAVREL_ON_BOTH_ENGINES(HostOnBothEngines);

TEST_F(Host, JobCounterWrapsAndSkipsKeysInUse) {
    load();
    NextJobIndex = 1;
    clsJob* first = fileNewJob();
    NextJobIndex = 32767;
    clsJob* last = fileNewJob();
    clsJob* wrapped = fileNewJob();
    EXPECT_EQ(first->JobKey(), "T1");
    EXPECT_EQ(last->JobKey(), "T32767");
    EXPECT_EQ(wrapped->JobKey(), "T2");
    EXPECT_EQ(NextJobIndex, 3);
}

TEST_F(Host, TrayWindowWakesThePollAndOffersExit) {
    rows->addTask(1);
    load(RunMode::SysTray);
    rows->request(1, "Run");
    const platform::HWND hwnd = platform::FindWindow(ServiceWindowClass, ServiceWindowTitle);
    ASSERT_NE(hwnd, 0u);
    long error = 0;
    const qintptr answered =
        platform::SendMessage(hwnd, platform::RegisterWindowMessage(PrivateMessageName), 0, 0, &error);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(answered, -1);
    EXPECT_EQ(rows->response(1), "OK");  // polled before the message was answered

    ASSERT_NE(window->mnuPopUp(), nullptr);
    EXPECT_EQ(window->modSysTray_WindowProc(TrayCallbackMessage, 0, 513), 0);  // left button: nothing
    EXPECT_FALSE(window->mnuPopUp()->isVisible());
    EXPECT_EQ(window->modSysTray_WindowProc(TrayCallbackMessage, 0, TrayRightButtonDown), -1);
    EXPECT_TRUE(window->mnuPopUp()->isVisible());
    const QList<QAction*> items = window->mnuPopUp()->actions();
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items[0]->text(), "Exit");
    items[0]->trigger();
    EXPECT_TRUE(testsupport::waitUntil([&] { return window->unloaded(); }, 2000));
}

TEST_F(Host, SecondInstanceEndsAtOnce) {
    load();
    frmMain second(frmMain::Options{RunMode::Debug, true, false});
    const qint64 logSize = QFileInfo(home.file(kEventLogFileName)).size();
    EXPECT_FALSE(second.Form_Load());
    EXPECT_EQ(QFileInfo(home.file(kEventLogFileName)).size(), logSize);
}

TEST_F(Host, DatabaseWithoutTablesIsRefusedWithItsMessage) {
    testsupport::TestDatabase empty(testsupport::DbEngine::Sqlite);
    hosttest::saveSettings(sim.baseUrl(), empty.connectionString(), root);
    window = std::make_unique<frmMain>(frmMain::Options{RunMode::Debug, true, false});
    EXPECT_FALSE(window->Form_Load());
    const QStringList lines = log();
    EXPECT_EQ(hosttest::countContaining(lines, "Cannot retrieve data from current task database. Modify the connection "
                                               "settings or create a new database. Error number 80040E37"),
              1);
    EXPECT_TRUE(lines.last().contains("Sorvex Tavrel Service Shut Down"));
}

}  // namespace
