#pragma once
// The client's task editor page and the service side over one program folder
// and one task database (SQLite or PostgreSQL): the client's globals and its
// connection as start-up leaves them, a simulated server, the settings the
// service reads, and the service registered so that Run can wake it.
#include "clientcommon/Globals.h"
#include "clientcommon/LoadPreferences.h"
#include "clientcommon/TaskDatabase.h"
#include "common/tests/TaskDbFixture.h"
#include "servicehost/tests/ServiceProgram.h"
#include "taskeditor/forms/TaskEditorPage.h"

#include <QSqlQuery>

namespace editortest {

class EditorAndService : public ::testing::TestWithParam<testsupport::DbEngine> {
protected:
    void SetUp() override {
        if (!testsupport::SorvexSim::available() || !QFileInfo::exists(testsupport::binPath("TavrelService")))
            GTEST_SKIP() << "sorvex-sim or TavrelService is not built";
        db = std::make_unique<testsupport::TestDatabase>(GetParam());
        if (!db->available()) GTEST_SKIP() << "TAVREL_TEST_PG is not set";
        rows = std::make_unique<hosttest::TaskRows>(db->connectionString());
        rows->createTables();
        parameterFile = home.file("search.par");
        testsupport::writeFile(parameterFile, "DB=SwissProt\r\nSEARCH=MIS\r\nCOM=Run <taskname>\r\n");
        rows->parameterFile = parameterFile;
        QDir().mkpath(home.file("qpl"));
        bodies = home.file("bodies");
        ASSERT_TRUE(sim.start("{\"bodies\": \"" + bodies.toUtf8() + "\"}")) << qPrintable(sim.error());
        hosttest::saveSettings(sim.baseUrl(), db->connectionString(), home.file("qpl"), 60);
        for (const char* name : {"TimerTick", "MonitorActionDelay", "LockedOutDelay", "NoDataDelay"})
            ASSERT_TRUE(common::modGlobal_SaveSetting(hosttest::kApp, common::PreferencesSection, name, "1"));
        ASSERT_EQ(hosttest::runSwitch({"-install", "-silent"}), 0);

        // The client as its start-up leaves it.
        tavrel::ProgramFolder = home.path();
        tavrel::LocalComputerName = "LABPC";
        tavrel::LocalUserName = "ann";
        tavrel::PeakListRoot = home.file("qpl");
        tavrel::BaseUrl = sim.baseUrl();
        tavrel::ServerSessionID.clear();
        tavrel::CommandLineArgs.clear();
        tavrel::TrayMessageId = 0;
        for (int i = 0; i < common::ImportFilterCount; ++i) {
            tavrel::ImportFilterName[i] = common::importFilterName(i);
            tavrel::ImportFilterDefaultOptions[i] = common::builtInImportFilterOptions(i);
        }
        tavrel::TaskDbConnection.open(db->connectionString());
        common::ProgramTaskDatabase.prepareNextKeyCommands();
        tavrel::TasksRecordset.openTable(tavrel::TaskDbConnection, common::kTasksTable);
        previousBoxes = platform::setMessageBoxHandler(&boxes);
    }
    void TearDown() override {
        if (!rows) return;
        platform::setMessageBoxHandler(previousBoxes);
        common::ProgramTaskDatabase.close();
    }

    QStringList log() const { return hosttest::eventLog(home.path()); }
    int results(int uid) {
        QSqlQuery q = rows->connection().query("SELECT COUNT(*) FROM Sorvex_Tavrel_Results WHERE task_UID = ?", {uid});
        return q.next() ? q.value(0).toInt() : 0;
    }

    testsupport::TempHome home;
    std::unique_ptr<testsupport::TestDatabase> db;
    testsupport::SorvexSim sim;
    std::unique_ptr<hosttest::TaskRows> rows;
    QString parameterFile, bodies;
    taskdbtest::BoxRecorder boxes;
    platform::MessageBoxHandler* previousBoxes = nullptr;
};

}  // namespace editortest
