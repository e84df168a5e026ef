// The main window's shut-down: the timers first, the logout with a short
// time-out and only with a session, the placement only after a completed
// start-up, the event list's widths kept and the event log let go.
#include "ClientFixture.h"

#include "client/frmMain.h"
#include "clientcommon/TaskDatabase.h"
#include "status/forms/EventLogPage.h"
#include "status/forms/StatusPage.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QTreeView>
#include <QTcpServer>
#include <gtest/gtest.h>

using namespace tavrel;

class Shutdown : public ClientFixture {};

TEST_F(Shutdown, LogsOutOnlyWithASessionAndKeepsThePlacementOnlyAfterStartUp) {
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    BaseUrl = sim.baseUrl();
    AccessType = 1;
    {
        frmMain window;  // start-up never completed
        window.tmrRefresh.start(1000);
        window.show();
        window.close();
        EXPECT_FALSE(window.tmrRefresh.isActive());
        EXPECT_FALSE(common::modGlobal_GetSetting("", common::PreferencesSection, "FormTop").isValid());
    }
    EXPECT_TRUE(sim.requests().isEmpty());  // no session: no logout

    ServerSessionID = "S7_00000001";
    {
        frmMain window;
        window.setStartupCompleted(true);
        window.show();
        window.frmMain_Form_Unload();
        window.frmMain_Form_Unload();  // once only
    }
    // (A new connection first asks client.pl?version; then the logout.)
    ASSERT_FALSE(sim.targets().isEmpty());
    EXPECT_EQ(sim.targets().last(), "/sorvex/cgi/login.pl?display=nothing&action=logout&sessionID=S7_00000001");
    EXPECT_EQ(sim.targets().filter("logout").size(), 1);
    EXPECT_TRUE(ServerSessionID.isEmpty());
    EXPECT_TRUE(common::modGlobal_GetSetting("", common::PreferencesSection, "FormTop").isValid());
}

TEST_F(Shutdown, AServerThatDoesNotAnswerDoesNotHoldTheWindow) {
    QTcpServer silent;  // accepts and never answers
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    BaseUrl = QStringLiteral("http://127.0.0.1:%1/sorvex/cgi/").arg(silent.serverPort());
    AccessType = 1;
    TimeOut = 3600;
    ServerSessionID = "S8_00000001";
    frmMain window;
    QElapsedTimer clock;
    clock.start();
    window.frmMain_Form_Unload();
    EXPECT_LT(clock.elapsed(), 15000);
    EXPECT_EQ(TimeOut, 3600);  // the running setting is untouched
}

TEST_F(Shutdown, KeepsTheEventListsWidthsAndStopsFollowingTheLog) {
    {
        frmMain window;
        window.modGlobal_InitStatusColumns();
        window.frmMain_OpenEventLog();
        ASSERT_TRUE(window.pageEventLog->eventLogReader().isOpen());
        window.pageEventLog->lvwEvent->header()->resizeSection(6, 333);
        window.frmMain_Form_Unload();
        EXPECT_FALSE(window.pageEventLog->eventLogReader().isOpen());
    }
    // The next start lays the list out as it was left.
    frmMain again;
    again.modGlobal_InitStatusColumns();
    EXPECT_NEAR(again.pageEventLog->lvwEvent->header()->sectionSize(6), 333, 1);
}

// The status list keeps a view's widths when it leaves that view; the view
// still shown at the end keeps them too, whichever of the two it is.
TEST_F(Shutdown, KeepsTheWidthsOfTheStatusViewStillShown) {
    makeTaskDatabase();
    const auto windowOverTheTasks = [this](auto&& use) {
        TaskDbConnection.open(connectionString());
        frmMain window;
        window.modGlobal_InitStatusColumns();
        window.frmMain_BuildStatusTree();
        use(window);
        window.frmMain_Form_Unload();
    };
    windowOverTheTasks([](frmMain& window) {
        ASSERT_EQ(window.pageStatus->statusViewKind(), "root");
        window.pageStatus->lvwStatus->header()->resizeSection(1, 321);
    });
    windowOverTheTasks([](frmMain& window) {
        EXPECT_NEAR(window.pageStatus->lvwStatus->header()->sectionSize(1), 321, 1) << "the next start";
    });
}
