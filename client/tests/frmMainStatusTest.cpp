// What the main window wires between the status pages and its own timers and tabs.
#include "client/frmMain.h"
#include "ClientFixture.h"

#include "status/forms/EventListModel.h"
#include "status/forms/EventLogPage.h"
#include "status/forms/StatusPage.h"

#include "common/Globals.h"
#include "common/TaskDatabase.h"
#include "common/TaskDbSchema.h"
#include "platform/MessageBox.h"
#include "platform/testsupport/TestDatabase.h"
#include "platform/testsupport/TestSupport.h"

#include <QTabWidget>
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
        tavrel::TaskDatabaseConnection.open(db.connectionString());
        ASSERT_TRUE(tavrel::modGlobal_CreateTaskDatabase(tavrel::TaskDatabaseConnection));
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
