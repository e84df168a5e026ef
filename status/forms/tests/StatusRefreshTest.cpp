// The periodic refresh: the tree and list brought in line with the table in place.
#include "StatusPageFixture.h"

#include "clientcommon/HandlerGuard.h"
#include "platform/AdoConnection.h"
#include "platform/OleDbConnectionString.h"
#include "platform/testsupport/ServerFaults.h"

#include <QScrollBar>

#include <functional>

using namespace tavrel;
using statustest::Emissions;
using statustest::StatusPageTest;

namespace {

class Refresh : public StatusPageTest {
protected:
    // Counts every change either model announces.
    struct ChangeCounter {
        explicit ChangeCounter(QAbstractItemModel* m) {
            for (auto s : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
                QObject::connect(m, s, [this] { ++changes; });
            QObject::connect(m, &QAbstractItemModel::dataChanged, [this] { ++changes; });
            QObject::connect(m, &QAbstractItemModel::layoutChanged, [this] { ++changes; });
            QObject::connect(m, &QAbstractItemModel::modelReset, [this] { ++changes; });
        }
        int changes = 0;
    };
};

TEST_P(Refresh, NothingChangesOnScreenWhenNothingChanged) {
    for (int uid = 1; uid <= 30; ++uid) addTask(uid, {{"task_status", uid % 2 ? "running" : "completed"}});
    addResult(1, 1);
    start();
    page->tvwStatus->expand(indexOf("task_1"));
    page->RefreshStatus();
    ChangeCounter tree(page->treeModel()), list(page->listModel());
    page->RefreshStatus();
    EXPECT_EQ(tree.changes, 0);
    EXPECT_EQ(list.changes, 0);
}

TEST_P(Refresh, AddsRemovesAndReimagesNodesWhereTheyStand) {
    for (int uid = 1; uid <= 80; ++uid) addTask(uid, {{"task_status", "running"}});
    addResult(1, 5);
    addResult(3, 5);
    start();
    page->tvwStatus->expand(indexOf("task_5"));
    click("task_20");
    page->tvwStatus->scrollTo(indexOf("task_40"));
    const int scroll = page->tvwStatus->verticalScrollBar()->value();
    QStandardItem* const selected = node("task_20");
    QStandardItem* const kept = node("task_5");

    addTask(81, {{"computer_name", "OTHERPC"}});  // another client's task
    setTask(7, "task_status", "completed");
    setTask(70, "task_status", "archived");  // no longer one of the five
    c().execute("DELETE FROM Sorvex_Tavrel_Tasks WHERE task_UID = 71");
    addResult(2, 5);  // committed late, below a result already shown
    addResult(4, 5);
    page->RefreshStatus();

    EXPECT_EQ(node("task_20"), selected);
    EXPECT_EQ(node("task_5"), kept);
    EXPECT_EQ(page->selectedNodeKey(), "task_20");
    EXPECT_TRUE(page->tvwStatus->isExpanded(indexOf("task_5")));
    EXPECT_EQ(page->tvwStatus->verticalScrollBar()->value(), scroll);
    EXPECT_EQ(childKeys("task_5"), (QStringList{"result_1", "result_3", "result_2", "result_4"}));
    EXPECT_EQ(image("task_7"), "completed");
    EXPECT_EQ(StatusTreeModel::tagOf(node("task_7")), "now_7_running");  // the tag keeps the first status
    EXPECT_EQ(node("task_70"), nullptr);
    EXPECT_EQ(node("task_71"), nullptr);
    EXPECT_EQ(childKeys("root").last(), "task_81");
    EXPECT_EQ(image("task_81"), "pending");
    EXPECT_EQ(childKeys("task_81"), QStringList{"dummy_task_81"});
    EXPECT_EQ(childKeys("root").size(), 79);
}

TEST_P(Refresh, RootViewFollowsEveryChangedTask) {
    addTask(1, {{"task_status", "new"}, {"action_request", "Run"}});
    addTask(5, {{"task_status", "running"}});
    start();
    page->lvwStatus->setCurrentIndex(page->listModel()->index(1, 0));
    // The service took the request: the task runs but its icon stays
    // "pending" until the answer is cleared. A task committed late under a
    // smaller key than one shown joins in its place.
    c().execute("UPDATE Sorvex_Tavrel_Tasks SET task_status = 'running', action_request = NULL, "
                "action_response = 'Pending' WHERE task_UID = 1");
    addTask(3, {{"task_status", "paused"}});
    page->RefreshStatus();
    EXPECT_EQ(listColumn(0), (QStringList{"running", "paused", "running"}));
    EXPECT_EQ(listColumn(1), (QStringList{"1: Task 1", "3: Task 3", "5: Task 5"}));
    EXPECT_EQ(page->listModel()->rowAt(0).icon, "pending");
    EXPECT_EQ(page->lvwStatus->currentIndex().row(), 2);  // still on task 5
    setTask(5, "task_status", "gone");
    page->RefreshStatus();
    EXPECT_EQ(listColumn(1), (QStringList{"1: Task 1", "3: Task 3"}));
}

TEST_P(Refresh, AnswersOfTheServiceAsThisClientCompletesThem) {
    addTask(1, {{"task_status", "running"}, {"action_response", "OK"}});
    addTask(2, {{"task_status", "running"}, {"action_response", "OK"}, {"computer_name", "OTHERPC"}});
    addTask(3, {{"task_status", "paused"}, {"action_response", "Error 9009: Attempt to pause a task which is not running"}});
    addTask(4, {{"task_status", "running"}, {"action_response", "Pending"}});
    page->frmMain_BuildStatusTree();
    page->RefreshStatus();
    EXPECT_EQ(image("task_1"), "running");
    EXPECT_EQ(image("task_2"), "running");  // "OK" is no open exchange, though its own client clears it
    EXPECT_EQ(image("task_3"), "pending");  // for one more run
    EXPECT_EQ(image("task_4"), "pending");
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].startsWith("Service reports unexpected error with task 3: Task 3\r\nError 9009"));
    EXPECT_EQ(taskColumn(3, "task_status").toString(), "cancelled");
    page->RefreshStatus();
    EXPECT_EQ(image("task_3"), "cancelled");
    EXPECT_EQ(boxes.texts.size(), 1);
    EXPECT_EQ(taskColumn(2, "action_response").toString(), "OK");
}

TEST_P(Refresh, SelectionFollowsWhatTheTableSays) {
    addTask(1, {{"task_status", "running"}});
    addTask(2, {{"task_status", "running"}});
    start();
    // A selected task deleted elsewhere: the list shows the root view.
    click("task_2");
    c().execute("DELETE FROM Sorvex_Tavrel_Tasks WHERE task_UID = 2");
    page->RefreshStatus();
    EXPECT_EQ(page->selectedNodeKey(), "root");
    EXPECT_EQ(page->statusViewKind(), "root");
    EXPECT_EQ(listColumn(1), QStringList{"1: Task 1"});

    // A collapsed task is shown again on every run.
    click("task_1");
    addResult(1, 1);
    page->RefreshStatus();
    EXPECT_EQ(listColumn(0), QStringList{"run1.raw"});
    EXPECT_EQ(childKeys("task_1"), QStringList{"dummy_task_1"});
    // An opened task without results gets its placeholder back.
    addTask(3, {{"task_status", "running"}});
    page->RefreshStatus();
    page->tvwStatus->expand(indexOf("task_3"));
    EXPECT_TRUE(childKeys("task_3").isEmpty());
    page->RefreshStatus();
    EXPECT_EQ(childKeys("task_3"), QStringList{"dummy_task_3"});
    EXPECT_FALSE(page->tvwStatus->isExpanded(indexOf("task_3")));
}

TEST_P(Refresh, QueuedResultsAreHandedToPrintingOneAtATime) {
    addTask(1, {{"task_status", "running"}});
    addResult(1, 1, {{"auto_print", 1}, {"result_url", "http://server/1"}});
    addResult(2, 1, {{"auto_print", 1}, {"result_url", "http://server/2"}});
    page->frmMain_BuildStatusTree();
    Emissions printing(page.get(), &StatusPage::autoPrintRequested);
    Emissions events(page.get(), &StatusPage::eventLogDue);
    page->RefreshStatus();
    page->RefreshStatus();
    page->RefreshStatus();
    ASSERT_EQ(printing.size(), 2);
    EXPECT_EQ(printing[0][0].toString(), "http://server/1");
    EXPECT_EQ(printing[1][0].toString(), "http://server/2");
    EXPECT_EQ(events.size(), 3);
}

// The service queues a result while this client reads nothing else new, and
// the printing is busy at the refresh that follows: the result is printed at
// the first refresh at which the printing is free again.
TEST_P(Refresh, AResultTheServiceQueuesIsPrintedOnceThePrintingIsFree) {
    addTask(1, {{"task_status", "running"}});
    start();
    bool ready = false;
    page->autoPrintReady = [&] { return ready; };
    Emissions printing(page.get(), &StatusPage::autoPrintRequested);
    platform::AdoConnection service;
    service.open(db->connectionString());
    testsupport::insertRow(service, "Sorvex_Tavrel_Results",
                           {{"result_number", 1}, {"task_UID", 1}, {"input_data_file", "\\\\LABPC\\data\\run1.raw"},
                            {"result_url", "http://server/1"}, {"auto_print", 1},
                            {"submitted", QDateTime(QDate(2024, 5, 2), QTime(8, 0))},
                            {"returned", QDateTime(QDate(2024, 5, 2), QTime(8, 5))}});
    page->RefreshStatus();
    page->RefreshStatus();
    EXPECT_EQ(printing.size(), 0);
    ready = true;
    page->RefreshStatus();
    page->RefreshStatus();
    ASSERT_EQ(printing.size(), 1);
    EXPECT_EQ(printing[0][0].toString(), "http://server/1");
}

TEST_P(Refresh, NeverRunsInsideItself) {
    addTask(1, {{"task_status", "running"}, {"action_response", "Error 9010: Attempt to resume a task which is not paused"}});
    addTask(2, {{"task_status", "running"}, {"action_response", "Error 9010: Attempt to resume a task which is not paused"}});
    page->frmMain_BuildStatusTree();
    // The error box of the first answer is open when the timer ticks again.
    struct Nested : statustest::BoxRecorder {
        StatusPage* page = nullptr;
        int show(const QString& text, int style, const QString& title) override {
            if (texts.isEmpty()) page->RefreshStatus();
            return BoxRecorder::show(text, style, title);
        }
    } nested;
    nested.page = page.get();
    platform::MessageBoxHandler* before = platform::setMessageBoxHandler(&nested);
    Emissions events(page.get(), &StatusPage::eventLogDue);
    page->RefreshStatus();
    platform::setMessageBoxHandler(before);
    EXPECT_EQ(nested.texts.size(), 2);  // each answer once
    EXPECT_EQ(events.size(), 1);
}

// The database server went away (a restart) while the client ran: the loss is
// said once, the event list goes on, and once the server takes connections
// again the refresh reconnects and the tree and list catch up with what other
// clients wrote meanwhile.
TEST_P(Refresh, ReconnectsAndCatchesUpAfterTheDatabaseServerWasGone) {
    if (GetParam() != testsupport::DbEngine::Postgres) GTEST_SKIP() << "the file engine has no connection to lose";
    addTask(1, {{"task_status", "running"}});
    start();
    ASSERT_TRUE(boxes.texts.isEmpty());
    const QString name = value("SELECT current_database()").toString();
    platform::AdoConnection admin;
    admin.open(qEnvironmentVariable("TAVREL_TEST_PG"));
    const auto allowConnections = [&](bool allow) {
        admin.execute(QStringLiteral("ALTER DATABASE \"%1\" ALLOW_CONNECTIONS %2").arg(name, allow ? "true" : "false"));
    };
    struct Reopened {
        std::function<void()> allow;
        ~Reopened() { allow(); }
    } reopened{[&] { allowConnections(true); }};
    admin.execute("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = ?", {name});
    {
        platform::AdoConnection other;  // another client goes on writing
        other.open(db->connectionString());
        testsupport::insertRow(other, "Sorvex_Tavrel_Tasks",
                               {{"task_UID", 2}, {"task_label", "Written meanwhile"}, {"parameter_set", "a.par"},
                                {"schedule_type", "now"}, {"start_time", QDateTime(QDate(2024, 5, 1), QTime(9, 0))},
                                {"task_status", "new"}, {"computer_name", "OTHERPC"}});
        other.execute("UPDATE Sorvex_Tavrel_Tasks SET task_status = 'completed' WHERE task_UID = 1");
    }
    allowConnections(false);

    Emissions events(page.get(), &StatusPage::eventLogDue);
    for (int run = 0; run < 3; ++run)  // as F5 runs it
        EXPECT_TRUE(tavrel::guardHandler("mnuEditRefresh_Click", [&] { page->RefreshStatus(); }));
    ASSERT_EQ(boxes.texts.size(), 1) << boxes.texts.join("\n").toStdString();
    EXPECT_TRUE(boxes.texts[0].startsWith("The connection to the task database is lost")) << boxes.texts[0].toStdString();
    EXPECT_EQ(events.size(), 3);
    EXPECT_FALSE(node("task_2"));

    allowConnections(true);
    // Connected again beside the window, and caught up without a refresh asked for.
    ASSERT_TRUE(testsupport::waitUntil([&] { return node("task_2") != nullptr; }, 30000));
    EXPECT_EQ(boxes.texts.size(), 1) << boxes.texts.join("\n").toStdString();
    EXPECT_EQ(image("task_1"), "completed");
    EXPECT_EQ(page->listModel()->rowCount(), 2);  // the root view lists the new task too
    EXPECT_EQ(events.size(), 4);
}

// The database host falls silent while the client runs (it accepts and never
// answers): the loss is said once, every refresh after it goes on at once
// while one attempt to connect again waits beside the window, and once the
// host answers again the tree catches up by itself.
TEST_P(Refresh, WhileTheDatabaseHostIsSilentEveryRefreshGoesOnAndTheTreeCatchesUpLater) {
    if (GetParam() != testsupport::DbEngine::Postgres) GTEST_SKIP() << "the file engine has no host";
    addTask(1, {{"task_status", "running"}});
    const QString server = platform::OleDbConnectionString::parse(db->connectionString()).dataSource();
    testsupport::SilentRelay relay(server.section(':', 0, 0), quint16(server.section(':', 1).toUInt()));
    c().open(relay.through(db->connectionString()) + ";connect_timeout=3");
    start();
    ASSERT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join("\n").toStdString();

    relay.fallSilent();
    Emissions events(page.get(), &StatusPage::eventLogDue);
    for (int run = 0; run < 6; ++run)
        EXPECT_TRUE(tavrel::guardHandler("mnuEditRefresh_Click", [&] { page->RefreshStatus(); }));
    EXPECT_EQ(events.size(), 6);
    ASSERT_EQ(boxes.texts.size(), 1) << boxes.texts.join("\n").toStdString();
    EXPECT_TRUE(boxes.texts[0].startsWith("The connection to the task database is lost")) << boxes.texts[0].toStdString();
    // The refreshes did not wait for it: an attempt is still waiting for the host.
    EXPECT_TRUE(testsupport::waitUntil([&] { return relay.unansweredConnections() == 1; }));

    {
        platform::AdoConnection other;  // another client writes meanwhile
        other.open(db->connectionString());
        testsupport::insertRow(other, "Sorvex_Tavrel_Tasks",
                               {{"task_UID", 2}, {"task_label", "Written meanwhile"}, {"parameter_set", "a.par"},
                                {"schedule_type", "now"}, {"start_time", QDateTime(QDate(2024, 5, 1), QTime(9, 0))},
                                {"task_status", "new"}, {"computer_name", "OTHERPC"}});
    }
    relay.answerAgain();
    ASSERT_TRUE(testsupport::waitUntil([&] { return node("task_2") != nullptr; }, 60000));
    EXPECT_EQ(boxes.texts.size(), 1) << boxes.texts.join("\n").toStdString();
}

TAVREL_ON_BOTH_ENGINES(Refresh);

}  // namespace
