#include "clientcommon/TaskDatabase.h"
#include "clientcommon/TaskDbRows.h"
#include "clientcommon/TaskDbSchema.h"
#include "common/TaskDbTables.h"
#include "platform/AdoCommand.h"
#include "platform/AdoErrors.h"
#include "platform/AdoRecordset.h"
#include "common/tests/TaskDbFixture.h"

#include <QDateTime>

using namespace taskdbtest;
using platform::AdoCommand;
using platform::AdoRecordset;

class TaskDbRows : public TaskDbTest {
protected:
    void SetUp() override {
        TaskDbTest::SetUp();
        if (IsSkipped()) return;
        ASSERT_TRUE(tavrel::modGlobal_CreateTaskDatabase(c));
        tavrel::TaskDbConnection.open(db->connectionString());
        common::ProgramTaskDatabase.prepareNextKeyCommands();
    }
    void TearDown() override {
        common::ProgramTaskDatabase.close();
        TaskDbTest::TearDown();
    }

    void newTask(AdoRecordset& rs, const QString& label) {
        rs.addNew();
        rs.setValue("task_label", label);
        rs.setValue("parameter_set", "\\\\PC\\share\\it's.par");
        rs.setValue("schedule_type", "now");
        rs.setValue("start_time", QDateTime::currentDateTime());
        rs.setValue("task_status", "new");
    }

    void insertTask(int key, const QVariant& user, const QVariant& computer) {
        c.execute("INSERT INTO Sorvex_Tavrel_Tasks (task_UID, task_label, parameter_set, schedule_type, start_time, "
                  "task_status, user_name, computer_name) VALUES (?, 'l', 'p', 'now', ?, 'new', ?, ?)",
                  {key, QDateTime::currentDateTime(), user, computer});
    }
};

TEST_P(TaskDbRows, NewKeysStartAtOneAndSkipKeysTakenMeanwhile) {
    AdoRecordset rs;
    rs.openTable(tavrel::TaskDbConnection, common::kTasksTable);
    const QString label = "it's a \"quoted\" label; --";
    newTask(rs, label);
    EXPECT_EQ(tavrel::modGlobal_AddRowWithNewKey(rs, tavrel::MaxTaskUidCommand, "task_UID"), 1);
    EXPECT_EQ(tavrel::modGlobal_GetTaskColumn("1", "TASK_LABEL"), label);

    // Another writer took 8 and 9 after our maximum query answered 7.
    insertTask(8, "x", "Y");
    insertTask(9, "x", "Y");
    const AdoCommand stale(tavrel::TaskDbConnection, "SELECT 7 AS maxUID");
    newTask(rs, "third");
    EXPECT_EQ(tavrel::modGlobal_AddRowWithNewKey(rs, stale, "task_UID"), 10);
    EXPECT_EQ(tavrel::modGlobal_GetTaskColumn("10", "task_label"), "third");
    // A command that cannot be run counts as an empty table: 1 is taken, 2 is not.
    newTask(rs, "fourth");
    EXPECT_EQ(tavrel::modGlobal_AddRowWithNewKey(rs, AdoCommand(tavrel::TaskDbConnection,
                                                                "SELECT MAX(task_UID) AS maxUID FROM no_such_table"),
                                                 "task_UID"),
              2);
    EXPECT_TRUE(boxes.texts.isEmpty());
}

TEST_P(TaskDbRows, HundredTakenKeysGiveUp) {
    // More keys taken than 100 attempts can step over, however they step.
    c.execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
              "INSERT INTO Sorvex_Tavrel_Tasks (task_UID, task_label, parameter_set, schedule_type, start_time, "
              "task_status) SELECT i, 'l', 'p', 'now', ?, 'new' FROM n",
              {QDateTime::currentDateTime()});
    AdoRecordset rs;
    rs.openTable(tavrel::TaskDbConnection, common::kTasksTable);
    newTask(rs, "late");
    const AdoCommand stale(tavrel::TaskDbConnection, "SELECT 0 AS maxUID");
    EXPECT_EQ(tavrel::modGlobal_AddRowWithNewKey(rs, stale, "task_UID"), 0);
    EXPECT_EQ(rs.editMode(), AdoRecordset::EditMode::None);
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_EQ(boxes.texts[0], "Unable to update ADO recordset Sorvex_Tavrel_Tasks after 100 attempts");
    EXPECT_EQ(count(common::kTasksTable), 1000);
}

TEST_P(TaskDbRows, OtherFailuresStopAtOnceWithTheirOwnText) {
    // The first key fails a check that the next key would pass: no second try.
    c.execute("CREATE TABLE k (id INTEGER NOT NULL PRIMARY KEY, v VARCHAR(10), CHECK (id <> 1))");
    AdoRecordset rs;
    rs.openTable(tavrel::TaskDbConnection, "k");
    rs.addNew();
    rs.setValue("v", "x");
    EXPECT_EQ(tavrel::modGlobal_AddRowWithNewKey(rs, AdoCommand(tavrel::TaskDbConnection,
                                                                "SELECT MAX(id) AS maxUID FROM k"), "id"),
              0);
    EXPECT_EQ(count("k"), 0);
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].startsWith("ActivX automation error 80040E14k ")) << boxes.texts[0].toStdString();

    // A missing required value is not mistaken for a taken key either.
    AdoRecordset tasks;
    tasks.openTable(tavrel::TaskDbConnection, common::kTasksTable);
    newTask(tasks, "x");
    tasks.setValue("task_label", QVariant());
    EXPECT_EQ(tavrel::modGlobal_AddRowWithNewKey(tasks, tavrel::MaxTaskUidCommand, "task_UID"), 0);
    ASSERT_EQ(boxes.texts.size(), 2);
    EXPECT_TRUE(boxes.texts[1].startsWith("ActivX automation error 80040E21Sorvex_Tavrel_Tasks "));
}

TEST_P(TaskDbRows, UpdateRecordRereadsAndStaysOnTheRow) {
    insertTask(1, "a", "A");
    insertTask(2, "b", "B");
    AdoRecordset rs;
    rs.openTable(tavrel::TaskDbConnection, common::kTasksTable);
    rs.find("task_UID=2");
    insertTask(3, "c", "C");  // another writer, seen after the re-read
    rs.setValue("task_status", "running");
    EXPECT_TRUE(tavrel::modGlobal_UpdateRecord(rs));
    EXPECT_EQ(rs.recordCount(), 3);
    EXPECT_EQ(rs.value("task_UID").toInt(), 2);
    EXPECT_EQ(rs.value("task_status").toString(), "running");

    rs.setValue("task_status", QVariant());  // "not null"
    EXPECT_FALSE(tavrel::modGlobal_UpdateRecord(rs));
    EXPECT_EQ(rs.value("task_UID").toInt(), 2);
    EXPECT_EQ(rs.value("task_status").toString(), "running");
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].startsWith("ActivX automation error updating Sorvex_Tavrel_Tasks-2147217887 "));
}

TEST_P(TaskDbRows, OwnershipIgnoresLetterCaseAndNullNeverMatchesAName) {
    struct Case {
        QVariant user, computer;
        bool owner, ofThisComputer;
    };
    const Case cases[] = {
        {"ann", "LAB1", true, true},
        {"ANN", "lab1", true, true},
        {"bob", "lab1", false, true},
        {QVariant(), "LAB1", false, true},
        {"ann", QVariant(), false, false},
        {"ann", "LAB2", false, false},
    };
    int key = 0;
    for (const Case& k : cases) {
        insertTask(++key, k.user, k.computer);
        const QString text = QString::number(key);
        SCOPED_TRACE(key);
        EXPECT_EQ(tavrel::modGlobal_IsTaskOwner(text, false, "ann", "LAB1"), k.owner);
        EXPECT_EQ(tavrel::modGlobal_IsTaskOfThisComputer(text, false, "LAB1"), k.ofThisComputer);
    }
    EXPECT_TRUE(boxes.texts.isEmpty());
    EXPECT_FALSE(tavrel::modGlobal_IsTaskOwner("4", true, "ann", "LAB1"));
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_EQ(boxes.texts[0], "This task is owned by @LAB1");

    // The same rule inside SQL, on every engine.
    QSqlQuery q = c.query("SELECT COUNT(*) FROM Sorvex_Tavrel_Tasks WHERE " + common::sameComputerSql("computer_name"),
                          {"Lab1"});
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 4);
}

TEST_P(TaskDbRows, LookupsRaiseTheirErrors) {
    insertTask(1, QVariant(), "PC");
    EXPECT_EQ(errorNumberOf([] { tavrel::modGlobal_IsTaskOwner("2", false, "a", "PC"); }),
              platform::adoerr::NoCurrentRecord);
    EXPECT_EQ(errorNumberOf([] { tavrel::modGlobal_IsTaskOfThisComputer("1 OR 1=1", false, "PC"); }),
              platform::adoerr::InvalidArgument);
    EXPECT_EQ(errorNumberOf([] { tavrel::modGlobal_GetTaskColumn("1", "user_name"); }), 94);
    EXPECT_EQ(errorNumberOf([] { tavrel::modGlobal_GetTaskColumn("1", "task_label FROM Sorvex_Tavrel_Files --"); }),
              platform::adoerr::ItemNotFound);
    EXPECT_EQ(tavrel::modGlobal_GetTaskColumn("1", "computer_name"), "PC");
    EXPECT_EQ(tavrel::modGlobal_NullToDefault(QVariant(), "").toString(), "");
    EXPECT_EQ(tavrel::modGlobal_NullToDefault(0, 5).toInt(), 0);
}

TAVREL_ON_BOTH_ENGINES(TaskDbRows);
