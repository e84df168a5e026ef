// What the main window wires between the status pages and its own timers and tabs.
#include "client/frmMain.h"

#include "status/forms/EventListModel.h"
#include "status/forms/EventLogPage.h"
#include "status/forms/StatusPage.h"

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
