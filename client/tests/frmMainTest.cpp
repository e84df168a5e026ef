#include "client/frmMain.h"

#include "params/forms/ParameterEditorPage.h"
#include "status/forms/EventLogPage.h"
#include "status/forms/StatusPage.h"
#include "taskeditor/forms/TaskEditorPage.h"

#include "clientcommon/TaskDatabase.h"
#include "clientcommon/TaskDbSchema.h"
#include "common/TaskDbTables.h"
#include "platform/testsupport/TestDatabase.h"

#include <QLineEdit>
#include <QMenuBar>
#include <QTabWidget>
#include <gtest/gtest.h>

using tavrel::frmMain;

TEST(frmMain, ShowsTheFourPagesInTheirOrder) {
    frmMain window;
    EXPECT_EQ(window.windowTitle(), "Sorvex Tavrel");
    EXPECT_FALSE(window.windowIcon().pixmap(32, 32).isNull());  // the program's own icon "AAA"
    ASSERT_EQ(window.findChild<QTabWidget*>("tabMain"), window.tabMain);

    struct Tab {
        const char* caption;
        const char* pageClass;
    } expected[] = {
        {"&Status", "tavrel::StatusPage"},
        {"E&vent Log", "tavrel::EventLogPage"},
        {"&Task Editor", "tavrel::TaskEditorPage"},
        {"&Parameter Editor", "tavrel::ParameterEditorPage"},
    };
    ASSERT_EQ(window.tabMain->count(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(window.tabMain->tabText(i), expected[i].caption);
        EXPECT_STREQ(window.tabMain->widget(i)->metaObject()->className(), expected[i].pageClass);
    }
    EXPECT_EQ(window.tabMain->currentIndex(), frmMain::TabStatus);
    EXPECT_EQ(window.tabMain->widget(frmMain::TabParameterEditor), window.pageParameterEditor);

    // The timers exist but only the start-up starts them.
    EXPECT_FALSE(window.tmrRefresh.isActive());
    EXPECT_FALSE(window.tmrJob[0].isActive());
    EXPECT_EQ(window.mnuFile->title(), "&File");
}

TEST(frmMain, CannotBeMadeSmallerThanItsMinimum) {
    frmMain window;
    window.show();
    EXPECT_EQ(window.minimumSize(), QSize(667, 520));  // 10000 x 7800 twips
    window.resize(300, 200);
    EXPECT_GE(window.width(), 667);
    EXPECT_GE(window.height(), 520);
    window.resize(1400, 1000);
    EXPECT_EQ(window.size(), QSize(1400, 1000));
    // The page grows with the window.
    EXPECT_GT(window.pageStatus->width(), 1300);
}

TEST(frmMain, PagesReachEachOtherThroughTheWindow) {
    // Clone reads the stored task from the client's task database.
    testsupport::TestDatabase db(testsupport::DbEngine::Sqlite);
    tavrel::TaskDbConnection.open(db.connectionString());
    ASSERT_TRUE(tavrel::modGlobal_CreateTaskDatabase(tavrel::TaskDbConnection));
    tavrel::TaskDbConnection.execute(
        "INSERT INTO Sorvex_Tavrel_Tasks (task_UID, task_label, parameter_set, schedule_type, start_time, task_status) "
        "VALUES (12, 'Liver', '/data/a.par', 'now', ?, 'completed')",
        {QDateTime::currentDateTime()});
    tavrel::TasksRecordset.openTable(tavrel::TaskDbConnection, common::kTasksTable);
    frmMain window;
    emit window.pageStatus->cloneTaskRequested(12);
    EXPECT_EQ(window.tabMain->currentIndex(), frmMain::TabTaskEditor);
    EXPECT_EQ(window.pageTaskEditor->txtTaskLabel->text(), "Copy of Liver");
    emit window.pageTaskEditor->taskCreated(13);
    EXPECT_EQ(window.tabMain->currentIndex(), frmMain::TabStatus);
    common::ProgramTaskDatabase.close();
}

TEST(frmMain, ShowTabByIndexOrCaption) {
    frmMain window;
    struct Case {
        QString tab;
        bool found;
        int index;
    } cases[] = {
        {"Event Log", true, 1}, {"task editor", true, 2}, {"&Parameter Editor", true, 3},
        {"0", true, 0},         {"4", false, 0},          {"Preferences", false, 0},
    };
    for (const Case& c : cases) {
        window.tabMain->setCurrentIndex(0);
        EXPECT_EQ(window.showTab(c.tab), c.found) << c.tab.toStdString();
        EXPECT_EQ(window.tabMain->currentIndex(), c.index) << c.tab.toStdString();
    }
}

TEST(frmMain, BringForwardRestoresAMinimisedWindow) {
    frmMain window;
    window.setStartupCompleted(true);
    window.showMaximized();
    window.showMinimized();
    ASSERT_TRUE(window.isMinimized());
    window.bringForward();
    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(window.isVisible());
}
