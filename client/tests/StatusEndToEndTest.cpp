// The Status tab of the main window against the real TavrelService -debug
// and sorvex-sim, on SQLite and on PostgreSQL: a task goes from new to
// running to completed with its results under it, and Pause and Resume from
// the tab are answered by the service.
#include "servicehost/tests/ServiceProgram.h"

#include "client/frmMain.h"
#include "common/Globals.h"
#include "common/PeakListFolders.h"
#include "common/TaskDatabase.h"
#include "common/TaskDbRows.h"
#include "common/TaskRow.h"
#include "common/UncName.h"
#include "status/forms/EventListModel.h"
#include "status/forms/EventLogPage.h"
#include "status/forms/StatusListModel.h"
#include "status/forms/StatusPage.h"
#include "status/forms/StatusTreeModel.h"
#include "status/forms/StatusTreeView.h"
#include "platform/AdoRecordset.h"
#include "platform/MessageBox.h"

#include <QPushButton>

namespace {

QVariant opt(const auto& value) { return value ? QVariant(*value) : QVariant(); }

// The task row stored as the task editor's Run stores it: every column of the
// shared row type, under the next free key.
long storeTaskRow(const common::TaskRow& t) {
    platform::AdoRecordset rs;
    rs.openQuery(tavrel::TaskDatabaseConnection, "SELECT * FROM Sorvex_Tavrel_Tasks WHERE 1 = 0", {},
                 "Sorvex_Tavrel_Tasks");
    rs.addNew();
    const QList<QPair<const char*, QVariant>> columns = {
        {"task_label", t.task_label},          {"parameter_set", t.parameter_set},
        {"import_filter", opt(t.import_filter)}, {"schedule_type", t.schedule_type},
        {"start_time", t.start_time},          {"follow_up", opt(t.follow_up)},
        {"task_status", t.task_status},        {"user_name", opt(t.user_name)},
        {"computer_name", opt(t.computer_name)}, {"auto_print", opt(t.auto_print)},
        {"action_request", opt(t.action_request)}, {"merge_data_files", opt(t.merge_data_files)},
        {"search_priority", opt(t.search_priority)},
    };
    for (const auto& [name, value] : columns) rs.setValue(QString::fromLatin1(name), value);
    return tavrel::modGlobal_AddRowWithNewKey(rs, tavrel::MaxTaskUidCommand, "task_UID");
}

class StatusEndToEnd : public ::testing::TestWithParam<testsupport::DbEngine> {
protected:
    void SetUp() override {
        const QString skip = env.prepare();
        if (!skip.isEmpty()) GTEST_SKIP() << qPrintable(skip);
        // Job ticks every second, so the task runs through while the test watches.
        ASSERT_TRUE(common::modGlobal_SaveSetting(hosttest::kApp, common::PreferencesSection, "TimerTick", "1"));
        ASSERT_EQ(hosttest::runSwitch({"-install", "-silent"}), 0);
        previousBoxes = platform::setMessageBoxHandler(&boxes);
        using namespace tavrel;
        ProgramFolder = env.home.path();
        LocalComputerName = "LABPC";
        LocalUserName = "tester";
        PeakListRoot = env.home.file("qpl");
        TaskDatabaseConnection.open(env.db.connectionString());
        common::ProgramTaskDatabase.prepareNextKeyCommands();
        opened = true;
    }
    void TearDown() override {
        if (!opened) return;
        platform::setMessageBoxHandler(previousBoxes);
        common::ProgramTaskDatabase.close();
    }

    hosttest::ServiceHome env{GetParam()};
    struct Boxes : platform::MessageBoxHandler {
        QStringList texts;
        int show(const QString& text, int, const QString&) override {
            texts << text;
            return platform::vbOK;
        }
    } boxes;
    platform::MessageBoxHandler* previousBoxes = nullptr;
    bool opened = false;
};

TEST_P(StatusEndToEnd, TaskRunsPausesResumesAndCompletesOnTheStatusTab) {
    hosttest::ServiceProgram service(env.home.path(), "LABPC");
    ASSERT_TRUE(service.start());

    const QDateTime now = QDateTime::currentDateTime().addSecs(-5);
    common::TaskRow task;
    task.task_label = "Watched run";
    task.parameter_set = common::modUncName_GetUncPath(env.rows->parameterFile);
    task.import_filter = QStringLiteral("--- None ---");
    task.schedule_type = "now";
    task.start_time = now;
    task.follow_up = 0;
    task.task_status = "new";
    task.user_name = QStringLiteral("tester");
    task.computer_name = QStringLiteral("LABPC");
    task.auto_print = 0;
    task.merge_data_files = 0;
    task.search_priority = 0;
    task.action_request = QStringLiteral("Run");
    const long uid = storeTaskRow(task);
    ASSERT_NE(uid, 0);
    QDir().mkpath(common::PeakListCacheFolder(tavrel::PeakListRoot, qint32(uid), task.task_label));
    for (int i = 1; i <= 2; ++i) {
        const QString path = env.home.file(QStringLiteral("data/run%1.qpl").arg(i));
        testsupport::writeFile(path, "BEGIN IONS\r\nTITLE=spectrum " + QByteArray::number(i) +
                                         "\r\nPEPMASS=500.5\r\n100.5 20\r\n200.25 30\r\nEND IONS\r\n");
        tavrel::TaskDatabaseConnection.execute(
            "INSERT INTO Sorvex_Tavrel_Files (file_number, task_UID, file_name, next_action) VALUES (?, ?, ?, ?)",
            {i, qint32(uid), common::modUncName_GetUncPath(path), now});
    }

    // The main window as start-up prepares it.
    tavrel::frmMain window;
    tavrel::StatusPage& page = *window.pageStatus;
    page.frmMain_SetStatusButtonToolTips();
    page.modGlobal_InitStatusColumns();
    window.pageEventLog->InitEventColumns();
    window.pageEventLog->OpenEventLog(env.home.file(common::kEventLogFileName));
    page.frmMain_BuildStatusTree();
    window.frmMain_RefreshStatus();
    window.tmrRefresh.setInterval(1000);
    window.tmrRefresh.start();
    window.show();

    const QString key = tavrel::taskNodeKey(qint32(uid));
    const auto image = [&] { return tavrel::StatusTreeModel::imageOf(page.treeModel()->item(key)); };
    const auto dbStatus = [&] { return env.rows->status(int(uid)); };
    ASSERT_NE(page.treeModel()->item(key), nullptr);
    const QString first = image();
    EXPECT_TRUE(first == "pending" || first == "running") << first.toStdString();

    ASSERT_TRUE(testsupport::waitUntil([&] { return image() == "running"; }, 30000)) << image().toStdString();
    page.tvwStatus->expand(page.treeModel()->indexFromItem(page.treeModel()->item(key)));
    page.tvwStatus->setCurrentIndex(page.treeModel()->indexFromItem(page.treeModel()->item(key)));
    ASSERT_TRUE(page.cmdStatusPause->isEnabled());
    page.cmdStatusPause->click();
    EXPECT_EQ(image(), "pending");
    // A busy job answers "Pending" and pauses after its step.
    ASSERT_TRUE(testsupport::waitUntil([&] { return image() == "paused"; }, 60000))
        << image().toStdString() << " " << dbStatus().toStdString();
    EXPECT_TRUE(env.rows->response(int(uid)).isEmpty());
    ASSERT_TRUE(testsupport::waitUntil([&] { return page.cmdStatusResume->isEnabled(); }, 5000));
    page.cmdStatusResume->click();
    ASSERT_TRUE(testsupport::waitUntil([&] { return image() == "running" || image() == "completed"; }, 30000));

    ASSERT_TRUE(testsupport::waitUntil([&] { return image() == "completed"; }, 90000))
        << image().toStdString() << "\n" << qPrintable(hosttest::eventLog(env.home.path()).join('\n'));
    // The node opened before any result had arrived went back to its
    // placeholder; opened again it shows both results.
    ASSERT_TRUE(testsupport::waitUntil([&] { return page.listModel()->rowCount() == 2; }, 5000));
    page.tvwStatus->expand(page.treeModel()->indexFromItem(page.treeModel()->item(key)));
    ASSERT_EQ(page.treeModel()->item(key)->rowCount(), 2);
    QStringList results;
    for (int i = 0; i < 2; ++i) results << page.treeModel()->item(key)->child(i)->text();
    results.sort();
    EXPECT_EQ(results, (QStringList{"run1.qpl", "run2.qpl"}));

    // The event list followed the log.
    tavrel::EventListModel* events = window.pageEventLog->eventModel();
    bool started = false;
    for (int r = 0; r < events->rowCount(); ++r) started = started || events->rowAt(r).field(6).contains("Starting new task");
    EXPECT_TRUE(started);
    EXPECT_TRUE(boxes.texts.isEmpty()) << qPrintable(boxes.texts.join('\n'));
    window.tmrRefresh.stop();
}

TAVREL_ON_BOTH_ENGINES(StatusEndToEnd);

}  // namespace
