// What the main window wires between the status pages and its own timers and tabs.
#include "client/frmMain.h"
#include "ClientFixture.h"
#include "WaitWatch.h"

#include "status/forms/EventListModel.h"
#include "status/forms/EventLogPage.h"
#include "status/forms/StatusPage.h"
#include "status/forms/StatusTreeModel.h"

#include "clientcommon/Globals.h"
#include "clientcommon/RequestWait.h"
#include "clientcommon/TaskDatabase.h"
#include "clientcommon/forms/RequestWaitDialog.h"
#include "clientcommon/TaskDbSchema.h"
#include "platform/MessageBox.h"
#include "platform/OleDbConnectionString.h"
#include "platform/testsupport/ServerFaults.h"
#include "platform/testsupport/TestDatabase.h"
#include "platform/testsupport/TestSupport.h"

#include <QDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTextDocument>
#include <gtest/gtest.h>

using tavrel::frmMain;

TEST(frmMainStatus, PagesTimersAndTabsAreConnected) {
    testsupport::TempHome home;
    const QString log = home.file("Sorvex_Tavrel_Event_Log.csv");
    testsupport::writeFile(log, "Event,10:00:00,06/05/2024, , , ,Service started\r\n");
    frmMain window;
    window.pageEventLog->OpenEventLog(log);

    // Each refresh of the Status page reads the event log's new lines.
    emit window.pageStatus->eventLogDue();
    EXPECT_EQ(window.pageEventLog->eventModel()->rowCount(), 1);

    // tmrJob(0) runs only while the status tree asks for it, every 100 ms.
    emit window.pageStatus->autoScrollTimerWanted(true);
    EXPECT_TRUE(window.tmrJob[0].isActive());
    EXPECT_EQ(window.tmrJob[0].interval(), 100);
    emit window.pageStatus->autoScrollTimerWanted(false);
    EXPECT_FALSE(window.tmrJob[0].isActive());

    // Leaving the Status tab takes File Print away.
    window.tabMain->setCurrentIndex(frmMain::TabEventLog);
    EXPECT_FALSE(window.pageStatus->printEnabled());
}

class frmMainRefresh : public ::testing::TestWithParam<testsupport::DbEngine> {};

TEST_P(frmMainRefresh, FailingRefreshIsShownOnceAndTheTimerGoesOn) {
    testsupport::TestDatabase db(GetParam());
    if (!db.available()) GTEST_SKIP() << "TAVREL_TEST_PG is not set";
    ScriptedBoxes boxes;
    platform::MessageBoxHandler* before = platform::setMessageBoxHandler(&boxes);
    testsupport::TempHome home;
    tavrel::CommandLineArgs = {"Tavrel", "-debug"};
    {
        frmMain window;
        // No task database is open: every tick fails the same way.
        window.tmrRefresh.setInterval(5);
        window.tmrRefresh.start();
        testsupport::waitUntil([] { return false; }, 200);
        EXPECT_EQ(boxes.texts.size(), 1) << boxes.texts.join('\n').toStdString();
        EXPECT_TRUE(boxes.texts.value(0).contains("tmrRefresh_Timer: ")) << boxes.texts.value(0).toStdString();
        EXPECT_TRUE(window.tmrRefresh.isActive());

        // Once the database is there, the next tick builds on it.
        tavrel::TaskDbConnection.open(db.connectionString());
        ASSERT_TRUE(tavrel::modGlobal_CreateTaskDatabase(tavrel::TaskDbConnection));
        window.pageStatus->frmMain_BuildStatusTree();
        boxes.texts.clear();
        EXPECT_TRUE(testsupport::waitUntil([&] { return window.pageStatus->statusViewKind() == "root"; }, 2000));
        testsupport::waitUntil([] { return false; }, 100);
        EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join('\n').toStdString();
        window.tmrRefresh.stop();
    }
    common::ProgramTaskDatabase.close();
    tavrel::CommandLineArgs.clear();
    platform::setMessageBoxHandler(before);
}

TAVREL_ON_BOTH_ENGINES(frmMainRefresh);

// File Print at the root reports the task table as it is when the report is
// made, not as the shared recordset last read it.
TEST_P(frmMainRefresh, TheTasksReportReadsTheTasksWhenItIsMade) {
    testsupport::TestDatabase db(GetParam());
    if (!db.available()) GTEST_SKIP() << "TAVREL_TEST_PG is not set";
    ScriptedBoxes boxes;
    platform::MessageBoxHandler* before = platform::setMessageBoxHandler(&boxes);
    testsupport::TempHome home;
    tavrel::CommandLineArgs = {"Tavrel", "-debug"};
    tavrel::TaskDbConnection.open(db.connectionString());
    ASSERT_TRUE(tavrel::modGlobal_CreateTaskDatabase(tavrel::TaskDbConnection));
    const auto addTask = [](platform::AdoConnection& c, int uid, const QString& label, const QString& status) {
        testsupport::insertRow(c, "Sorvex_Tavrel_Tasks",
                               {{"task_UID", uid}, {"task_label", label}, {"parameter_set", "a.par"},
                                {"schedule_type", "now"}, {"start_time", QDateTime(QDate(2024, 5, 1), QTime(9, 0))},
                                {"task_status", status}, {"computer_name", "LABPC"}});
    };
    addTask(tavrel::TaskDbConnection, 1, "Liver digest", "running");
    addTask(tavrel::TaskDbConnection, 2, "Serum run", "completed");
    tavrel::TasksRecordset.openTable(tavrel::TaskDbConnection, "Sorvex_Tavrel_Tasks");
    {
        frmMain window;
        window.pageStatus->frmMain_BuildStatusTree();
        ASSERT_EQ(window.pageStatus->statusViewKind(), "root");
        {
            platform::AdoConnection other;  // the service and another client write meanwhile
            other.open(db.connectionString());
            other.execute("UPDATE Sorvex_Tavrel_Tasks SET task_status = 'paused' WHERE task_UID = 1");
            other.execute("DELETE FROM Sorvex_Tavrel_Tasks WHERE task_UID = 2");
            addTask(other, 3, "Kidney batch", "new");
        }
        window.frmMain_mnuFilePrint_Click();
        auto* preview = window.findChild<QDialog*>("frmReportPreview");
        ASSERT_TRUE(preview) << boxes.texts.join('\n').toStdString();
        auto* report = preview->findChild<QTextDocument*>();
        ASSERT_TRUE(report);
        const QString text = report->toPlainText();
        EXPECT_TRUE(text.contains("paused")) << text.toStdString();
        EXPECT_FALSE(text.contains("running")) << text.toStdString();
        EXPECT_FALSE(text.contains("Serum run")) << text.toStdString();
        EXPECT_TRUE(text.contains("Kidney batch")) << text.toStdString();
        preview->close();
    }
    common::ProgramTaskDatabase.close();
    tavrel::CommandLineArgs.clear();
    platform::setMessageBoxHandler(before);
}

// The server process of the client's connection stopped with SIGSTOP under
// the running window: the refresh waits with the window repainting, the wait
// names the server, Cancel ends it, the loss is said once, and once the
// server answers again the tree catches up without a refresh asked for.
TEST(frmMainDatabaseWait, AStoppedServerKeepsTheWindowPaintingAndCancelEndsTheRefresh) {
    testsupport::TestDatabase db(testsupport::DbEngine::Postgres);
    if (!db.available()) GTEST_SKIP() << "TAVREL_TEST_PG is not set";
    ScriptedBoxes boxes;
    testsupport::TempHome home;
    tavrel::RequestWaitDialog view(50);
    struct Installed {
        platform::MessageBoxHandler* before;
        ~Installed() {
            tavrel::setRequestWaitView(nullptr);
            common::ProgramTaskDatabase.close();
            tavrel::CommandLineArgs.clear();
            platform::setMessageBoxHandler(before);
        }
    } installed{platform::setMessageBoxHandler(&boxes)};
    tavrel::setRequestWaitView(&view);
    tavrel::CommandLineArgs = {"Tavrel", "-debug"};
    tavrel::LocalComputerName = "LABPC";
    tavrel::TaskDbConnection.open(db.connectionString());
    ASSERT_TRUE(tavrel::modGlobal_CreateTaskDatabase(tavrel::TaskDbConnection));
    const QString address = platform::OleDbConnectionString::parse(db.connectionString()).dataSource();
    {
        frmMain window;
        window.modGlobal_InitStatusColumns();
        window.pageStatus->frmMain_BuildStatusTree();
        window.show();
        {
            testsupport::StoppedServerProcess stopped(testsupport::serverProcessOf(tavrel::TaskDbConnection), 30000);
            if (!stopped.stopped()) GTEST_SKIP() << "the server's processes cannot be stopped by this user";
            HungRequestWatch watch(&window);
            window.pageStatus->cmdStatusRefresh->click();
            stopped.resume();
            EXPECT_GE(watch.paintsDuringWait, 3);
            EXPECT_EQ(watch.waitTexts, QStringList{"Waiting for the task database at " + address + " ..."});
        }
        ASSERT_EQ(boxes.texts.size(), 1) << boxes.all().toStdString();
        EXPECT_TRUE(boxes.texts[0].startsWith("The connection to the task database is lost (The wait for the PostgreSQL "
                                              "database "))
            << boxes.all().toStdString();
        {
            platform::AdoConnection other;  // written while the window had no connection
            other.open(db.connectionString());
            testsupport::insertRow(other, "Sorvex_Tavrel_Tasks",
                                   {{"task_UID", 1}, {"task_label", "Liver digest"}, {"parameter_set", "a.par"},
                                    {"schedule_type", "now"}, {"start_time", QDateTime(QDate(2024, 5, 1), QTime(9, 0))},
                                    {"task_status", "running"}, {"computer_name", "LABPC"}});
        }
        EXPECT_TRUE(testsupport::waitUntil([&] { return window.pageStatus->treeModel()->item("task_1") != nullptr; }, 30000));
        EXPECT_EQ(boxes.texts.size(), 1) << boxes.all().toStdString();
    }
}
