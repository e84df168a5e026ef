#include "clientcommon/TaskDbCheck.h"
#include "common/Secrets.h"
#include "clientcommon/TaskDbSchema.h"
#include "common/TaskDbTables.h"
#include "platform/AdoErrors.h"
#include "common/tests/TaskDbFixture.h"

#include <QDateTime>

using namespace taskdbtest;
using tavrel::TaskDbCheckResult;

class TaskDbCheck : public TaskDbTest {
protected:
    bool fileDatabase() const { return GetParam() == testsupport::DbEngine::Sqlite; }
    TaskDbCheckResult check() { return tavrel::modGlobal_CheckTaskDatabase(c, "me", "HERE"); }
    void oldLayoutB() {
        createOldTable(common::kTasksTable, common::kTasksTable, {"filter_fields"});
        createOldTable(common::kFilesTable, common::kFilesTable);
        createOldTable(common::kResultsTable, common::kResultsTable);
    }
};

TEST_P(TaskDbCheck, CurrentDatabaseIsReadyWithoutQuestions) {
    ASSERT_TRUE(tavrel::modGlobal_CreateTaskDatabase(c));
    EXPECT_EQ(check(), TaskDbCheckResult::Ready);
    EXPECT_TRUE(boxes.texts.isEmpty());
}

TEST_P(TaskDbCheck, OstraneDatabaseIsRefused) {
    ASSERT_TRUE(tavrel::modGlobal_CreateTaskDatabase(c));
    c.execute("ALTER TABLE Sorvex_Tavrel_Tasks ADD COLUMN gkr_user_name VARCHAR(64)");
    EXPECT_EQ(check(), TaskDbCheckResult::ShowConnectionSettings);
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_EQ(boxes.texts[0],
              "Cannot retrieve data from current task database.\r\n"
              "Modify the connection settings or create a new database.\r\n\r\n"
              "Error number 3E9\r\n\r\n"
              "A standard Tavrel client is not permitted to connect to a Sorvex Ostrane database");
}

TEST_P(TaskDbCheck, MissingColumnIsUpgradedOnFilesAndReferredToTheScriptElsewhere) {
    oldLayoutB();
    if (fileDatabase()) {
        EXPECT_EQ(check(), TaskDbCheckResult::Ready);
        ASSERT_EQ(boxes.texts.size(), 1);
        EXPECT_EQ(boxes.styles[0], platform::vbOKCancel);
        EXPECT_TRUE(boxes.texts[0].startsWith("Task database is from an earlier version of Sorvex Tavrel and must be "
                                              "updated.\r\nIf the database contains valuable information"));
        EXPECT_EQ(tavrel::taskDatabaseLayoutCode(c), 0);
    } else {
        boxes.answers = {platform::vbCancel};
        EXPECT_EQ(check(), TaskDbCheckResult::EndClient);
        ASSERT_EQ(boxes.texts.size(), 1);
        EXPECT_EQ(boxes.styles[0], platform::vbRetryCancel);
        EXPECT_TRUE(boxes.texts[0].startsWith("The Sorvex Tavrel task database requires updating."));
        // The connection is named, its password never shown.
        EXPECT_TRUE(boxes.texts[0].endsWith(" using the SQL script for " + common::maskSecrets(db->connectionString())))
            << boxes.texts[0].toStdString();
        boxes.answers = {platform::vbRetry};
        EXPECT_EQ(check(), TaskDbCheckResult::ShowConnectionSettings);
    }
}

TEST_P(TaskDbCheck, NotNullWaitFlagIsOldOnEveryEngine) {
    createOldTable(common::kTasksTable, common::kTasksTable, {}, {"pre_task_wait"});
    createOldTable(common::kFilesTable, common::kFilesTable);
    createOldTable(common::kResultsTable, common::kResultsTable);
    EXPECT_EQ(tavrel::taskDatabaseLayoutCode(c), tavrel::kLayoutMissingColumn);
    boxes.answers = {platform::vbCancel};
    EXPECT_EQ(check(), TaskDbCheckResult::EndClient);  // the user keeps the database as it is
    EXPECT_TRUE(c.tableExists(common::kTasksTable));
    EXPECT_EQ(tavrel::taskDatabaseLayoutCode(c), tavrel::kLayoutMissingColumn);
    EXPECT_EQ(check(), TaskDbCheckResult::Ready);
    EXPECT_EQ(tavrel::taskDatabaseLayoutCode(c), 0);
}

TEST_P(TaskDbCheck, OldTableNamesOrNoTablesAtAll) {
    // An empty database: a file is a connection problem, a server database
    // one for the SQL script.
    if (!fileDatabase()) boxes.answers = {platform::vbRetry};
    EXPECT_EQ(check(), TaskDbCheckResult::ShowConnectionSettings);
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].contains(fileDatabase() ? "Error number 80040E37" : "requires updating"))
        << boxes.texts[0].toStdString();
    boxes.texts.clear();

    createOldTable(common::kTasksTable, "Task");
    createOldTable(common::kFilesTable, "Files");
    createOldTable(common::kResultsTable, "Results");
    if (!fileDatabase()) boxes.answers = {platform::vbRetry};
    const auto result = check();
    if (fileDatabase()) {
        EXPECT_EQ(result, TaskDbCheckResult::Ready);
        EXPECT_TRUE(c.tableExists(common::kTasksTable));
    } else {
        EXPECT_EQ(result, TaskDbCheckResult::ShowConnectionSettings);
        EXPECT_TRUE(c.tableExists("Task"));
    }
}

// A database of the current layout made before the indexes were part of it:
// the check adds them without a question and without touching a row. One
// that cannot be made (its name is taken here) is left out, and the client
// goes on; the next check makes what is missing then.
TEST_P(TaskDbCheck, ACurrentDatabaseWithoutIndexesGetsThemAndKeepsItsRows) {
    ASSERT_TRUE(tavrel::modGlobal_CreateTaskDatabase(c));
    for (const auto& index : common::taskDbIndexes()) {
        ASSERT_TRUE(c.indexExists(index.name)) << qPrintable(index.name);
        c.execute("DROP INDEX " + index.name);
    }
    c.execute("INSERT INTO Sorvex_Tavrel_Results (result_number, task_UID, input_data_file, submitted, returned, "
              "auto_print) VALUES (1, 7, 'a.qpl', ?, ?, 1)",
              {QDateTime(QDate(2024, 1, 2), QTime(3, 4)), QDateTime(QDate(2024, 1, 2), QTime(3, 5))});
    const QString taken = common::taskDbIndexes().first().name;
    c.execute("CREATE TABLE " + taken + " (n INTEGER)");

    EXPECT_EQ(check(), TaskDbCheckResult::Ready);
    EXPECT_TRUE(boxes.texts.isEmpty());
    for (const auto& index : common::taskDbIndexes())
        EXPECT_EQ(c.indexExists(index.name), index.name != taken) << qPrintable(index.name);
    EXPECT_EQ(count(common::kResultsTable), 1);
    {
        QSqlQuery q = c.query("SELECT task_UID FROM Sorvex_Tavrel_Results WHERE auto_print > 0");
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.value(0).toInt(), 7);
    }

    c.execute("DROP TABLE " + taken);
    EXPECT_EQ(check(), TaskDbCheckResult::Ready);
    for (const auto& index : common::taskDbIndexes()) EXPECT_TRUE(c.indexExists(index.name)) << qPrintable(index.name);
}

TAVREL_ON_BOTH_ENGINES(TaskDbCheck);
