#pragma once
// The task editor's model over a private program folder: the client's
// globals as start-up leaves them, scripted message boxes, and (for the
// tests that write) a task database on either engine opened as the client's
// one connection with its shared recordset.
#include "clientcommon/ComponentProbes.h"
#include "clientcommon/Globals.h"
#include "common/ImportFilters.h"
#include "clientcommon/LoadPreferences.h"
#include "clientcommon/TaskDatabase.h"
#include "clientcommon/TaskDbSchema.h"
#include "common/tests/TaskDbFixture.h"
#include "platform/testsupport/TestSupport.h"
#include "taskeditor/TaskEditor.h"

#include <QDir>
#include <QSqlQuery>
#include <QVariantMap>

#include <memory>

namespace taskeditortest {

using tavrel::TaskEditorState;
using S = tavrel::TaskEditorState;

// The client's globals for one test, put back afterwards.
class ClientGlobals {
public:
    ClientGlobals() {
        saved_ = {tavrel::ProgramFolder, tavrel::LocalUserName, tavrel::LocalComputerName, tavrel::PeakListRoot,
                  tavrel::LcqPath};
        tavrel::ProgramFolder = home.path();
        tavrel::LocalUserName = QStringLiteral("ann");
        tavrel::LocalComputerName = QStringLiteral("LABPC");
        tavrel::PeakListRoot = home.file(QStringLiteral("qpl"));
        QDir().mkpath(tavrel::PeakListRoot);
        tavrel::LcqPath.clear();
        tavrel::ServerUser.clear();
        savedArgs_ = tavrel::CommandLineArgs;
        // The service is not signalled: the tests read the rows themselves.
        tavrel::CommandLineArgs = {QStringLiteral("-debug")};
        for (int i = 0; i < common::ImportFilterCount; ++i) {
            tavrel::ImportFilterName[i] = common::importFilterName(i);
            tavrel::ImportFilterDefaultOptions[i] = common::builtInImportFilterOptions(i);
            tavrel::ImportFilterOptions[i].clear();
        }
        tavrel::SciexLibraryPresent = tavrel::DataExplorerPresent = tavrel::QuellmarkPresent =
            tavrel::TS2SorvexPresent = false;
        tavrel::SciexLibraryOwnOptions = false;
        tavrel::SciexLibraryVersion.clear();
        tavrel::AnalystOptionValues.clear();
        tavrel::AnalystOptionKeys.clear();
        previousBoxes_ = platform::setMessageBoxHandler(&boxes);
        parameterFile = home.file(QStringLiteral("search.par"));
        testsupport::writeFile(parameterFile, "DB=SwissProt\r\nFORMAT=Sorvex generic\r\n");
    }
    ~ClientGlobals() {
        platform::setMessageBoxHandler(previousBoxes_);
        tavrel::ProgramFolder = saved_[0];
        tavrel::LocalUserName = saved_[1];
        tavrel::LocalComputerName = saved_[2];
        tavrel::PeakListRoot = saved_[3];
        tavrel::LcqPath = saved_[4];
        tavrel::CommandLineArgs = savedArgs_;
    }

    // Every filter on offer, no server user list, the clock at a fixed moment.
    tavrel::ResetInputs inputs() const {
        tavrel::ResetInputs in;
        in.offeredFilters = {0, 1, 2, 3, 4, 5, 6};
        in.now = QDateTime(QDate(2024, 5, 6), QTime(14, 30, 15));
        in.defaultParameterSet = home.file(QStringLiteral("default.par"));
        return in;
    }

    testsupport::TempHome home;
    taskdbtest::BoxRecorder boxes;
    QString parameterFile;

private:
    QStringList saved_;
    QStringList savedArgs_;
    platform::MessageBoxHandler* previousBoxes_;
};

// The client's task database connection on the engine of the test.
class ClientDatabase : public ::testing::TestWithParam<testsupport::DbEngine> {
protected:
    void SetUp() override {
        db = std::make_unique<testsupport::TestDatabase>(GetParam());
        if (!db->available()) GTEST_SKIP() << "TAVREL_TEST_PG is not set";
        tavrel::TaskDbConnection.open(db->connectionString());
        ASSERT_TRUE(tavrel::modGlobal_CreateTaskDatabase(tavrel::TaskDbConnection));
        common::ProgramTaskDatabase.prepareNextKeyCommands();
        tavrel::TasksRecordset.openTable(tavrel::TaskDbConnection, common::kTasksTable);
        g = std::make_unique<ClientGlobals>();
    }
    void TearDown() override {
        g.reset();
        common::ProgramTaskDatabase.close();
    }

public:
    // A stored task of LABPC, "new", schedule "now" (columns may be replaced).
    void insertTask(int uid, const QVariantMap& overrides = {}) {
        QVariantMap row = {{"task_UID", uid},
                           {"task_label", QStringLiteral("Task %1").arg(uid)},
                           {"parameter_set", g->parameterFile},
                           {"schedule_type", "now"},
                           {"start_time", QDateTime(QDate(2024, 5, 1), QTime(9, 0))},
                           {"task_status", "new"},
                           {"computer_name", "LABPC"},
                           {"user_name", "ann"}};
        for (auto it = overrides.begin(); it != overrides.end(); ++it) row[it.key()] = it.value();
        testsupport::insertRow(tavrel::TaskDbConnection, QStringLiteral("Sorvex_Tavrel_Tasks"), row);
    }
    void insertFile(int fileNumber, int uid, const QString& name, const QVariant& sample = {}) {
        sql("INSERT INTO Sorvex_Tavrel_Files (file_number, task_UID, file_name, next_action, sample_number) "
            "VALUES (?, ?, ?, ?, ?)",
            {fileNumber, uid, name, QDateTime(QDate(2024, 5, 1), QTime(9, 0)), sample});
    }
    void sql(const QString& statement, const QVariantList& values = {}) {
        tavrel::TaskDbConnection.execute(statement, values);
    }
    long count(const QString& table) {
        QSqlQuery q = tavrel::TaskDbConnection.query("SELECT COUNT(*) FROM " + table);
        q.next();
        return q.value(0).toLongLong();
    }

    std::unique_ptr<testsupport::TestDatabase> db;
    std::unique_ptr<ClientGlobals> g;
};

// A model reset with the inputs given.
inline tavrel::TaskEditor resetEditor(const tavrel::ResetInputs& in) {
    tavrel::TaskEditor editor;
    editor.ResetTaskEditor(in);
    return editor;
}

}  // namespace taskeditortest
