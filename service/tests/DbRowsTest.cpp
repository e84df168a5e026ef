#include "clientcommon/TaskDbSchema.h"
#include "common/TaskDbTables.h"
#include "platform/AdoErrors.h"
#include "platform/AdoRecordset.h"
#include "platform/MessageBox.h"
#include "platform/testsupport/TestDatabase.h"
#include "platform/testsupport/TestSupport.h"
#include "service/DbRows.h"
#include "service/EventLog.h"
#include "service/Globals.h"
#include "service/TaskDb.h"

#include <QDateTime>
#include <QSqlQuery>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using platform::AdoCommand;
using platform::AdoRecordset;
using namespace tavrelsvc;

class ServiceDbRows : public ::testing::TestWithParam<testsupport::DbEngine> {
protected:
    void SetUp() override {
        db = std::make_unique<testsupport::TestDatabase>(GetParam());
        if (!db->available()) GTEST_SKIP() << "TAVREL_TEST_PG is not set";
        {
            platform::AdoConnection setup;
            setup.open(db->connectionString());
            ASSERT_TRUE(tavrel::modGlobal_CreateTaskDatabase(setup));
        }
        TaskDbConnection.open(db->connectionString());
        prepareNextKeyCommands();
        logPath = db->folder() + "/" + kEventLogFileName;
        ASSERT_TRUE(EventLogStream::open(logPath));
        LocalComputerName = "LAB1";
    }
    void TearDown() override {
        EventLogStream::close();
        TaskDbConnection.close();
        LocalComputerName.clear();
    }

    QStringList events() {
        QStringList lines = QString::fromLatin1(testsupport::readFile(logPath)).split("\r\n", Qt::SkipEmptyParts);
        for (QString& l : lines) l = splitEventLine(l).value(6);
        return lines;
    }

    void insertTask(int key, const QVariant& computer) {
        TaskDbConnection.execute("INSERT INTO Sorvex_Tavrel_Tasks (task_UID, task_label, parameter_set, schedule_type, "
                                 "start_time, task_status, computer_name) VALUES (?, 'l', 'p', 'now', ?, 'new', ?)",
                                 {key, QDateTime::currentDateTime(), computer});
    }

    void newFile(AdoRecordset& rs, const QVariant& name) {
        rs.addNew();
        rs.setValue("task_UID", 1);
        rs.setValue("file_name", name);
        rs.setValue("next_action", QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
    }

    std::unique_ptr<testsupport::TestDatabase> db;
    QString logPath;
};

TEST_P(ServiceDbRows, NewKeysRetryOnlyOnTakenKeys) {
    AdoRecordset rs;
    rs.openTable(TaskDbConnection, common::kFilesTable);
    newFile(rs, "\\\\LAB1\\data\\o'neil \"a\".raw");
    EXPECT_EQ(modGlobal_AddRowWithNewKey(rs, MaxFileNumberCommand, "file_number"), 1);

    // The largest key read is 3, but 4 and 5 were stored meanwhile.
    for (int k : {2, 3, 4, 5}) {
        newFile(rs, "f");
        rs.setValue("file_number", k);
        rs.update();
    }
    newFile(rs, "six");
    EXPECT_EQ(modGlobal_AddRowWithNewKey(rs, AdoCommand(TaskDbConnection, "SELECT 3 AS maxUID"), "file_number"), 6);

    newFile(rs, QVariant());  // file_name is "not null"
    EXPECT_EQ(modGlobal_AddRowWithNewKey(rs, MaxFileNumberCommand, "file_number"), 0);
    TaskDbConnection.execute("WITH RECURSIVE n(i) AS (SELECT 7 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
                             "INSERT INTO Sorvex_Tavrel_Files (file_number, task_UID, file_name, next_action) "
                             "SELECT i, 1, 'f', ? FROM n",
                             {QDateTime::currentDateTime()});
    newFile(rs, "late");
    EXPECT_EQ(modGlobal_AddRowWithNewKey(rs, AdoCommand(TaskDbConnection, "SELECT 6 AS maxUID"), "file_number"), 0);
    EXPECT_EQ(rs.editMode(), AdoRecordset::EditMode::None);

    const QStringList log = events();
    ASSERT_EQ(log.size(), 2);
    EXPECT_TRUE(log[0].startsWith("(TVS1061) ActivX automation error updating Sorvex_Tavrel_Files 80040E21: "))
        << log[0].toStdString();
    EXPECT_EQ(log[1], "(TVS1062) Unable to update Sorvex_Tavrel_Files after 100 attempts");

    AdoRecordset check;
    check.openTable(TaskDbConnection, common::kFilesTable);
    check.find("file_number=1");
    EXPECT_EQ(check.value("file_name").toString(), "\\\\LAB1\\data\\o'neil \"a\".raw");
    EXPECT_EQ(check.value("next_action").toDateTime(), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
}

TEST_P(ServiceDbRows, UpdateRecordReportsAndRereads) {
    insertTask(1, "LAB1");
    insertTask(2, "LAB1");
    AdoRecordset rs;
    rs.openTable(TaskDbConnection, common::kTasksTable);
    rs.find("task_UID=2");
    rs.setValue("action_response", "OK");
    EXPECT_TRUE(modGlobal_UpdateRecord(rs));
    EXPECT_EQ(rs.value("task_UID").toInt(), 2);
    rs.setValue("task_status", QVariant());
    EXPECT_FALSE(modGlobal_UpdateRecord(rs));
    EXPECT_EQ(rs.value("task_UID").toInt(), 2);
    EXPECT_EQ(rs.value("action_response").toString(), "OK");
    const QStringList log = events();
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log[0].startsWith("(TVS1059) ActivX automation error updating Sorvex_Tavrel_Tasks -2147217887: "));
}

TEST_P(ServiceDbRows, TaskOfThisComputer) {
    struct Case {
        QVariant computer;
        QString local;
        bool expected;
    };
    const Case cases[] = {
        {"LAB1", "LAB1", true}, {"lab1", "LAB1", true}, {"Lab1", "lab1", true}, {"LAB2", "LAB1", false},
        {QVariant(), "LAB1", false}, {QVariant(), "", true},
    };
    int key = 0;
    for (const Case& c : cases) {
        insertTask(++key, c.computer);
        LocalComputerName = c.local;
        EXPECT_EQ(modGlobal_IsTaskOfThisComputer(QString::number(key)), c.expected) << key;
    }
    EXPECT_TRUE(events().isEmpty());
    EXPECT_TRUE(modGlobal_IsTaskOfThisComputer("99"));  // row missing: reported, answers true
    EXPECT_FALSE(modGlobal_IsTaskOfThisComputer("1; DROP TABLE Sorvex_Tavrel_Tasks"));
    TaskDbConnection.execute("DROP TABLE Sorvex_Tavrel_Tasks");
    EXPECT_FALSE(modGlobal_IsTaskOfThisComputer("1"));
    const QStringList log = events();
    ASSERT_EQ(log.size(), 3);
    for (const QString& l : log) EXPECT_TRUE(l.startsWith("(TVS1049) ")) << l.toStdString();
    EXPECT_TRUE(log[2].startsWith("(TVS1049) -2147217865: "));
    EXPECT_FALSE(modGlobal_IsOstraneTask("1"));
    EXPECT_EQ(modGlobal_NullToDefault(QVariant(), "").toString(), "");
    EXPECT_EQ(modGlobal_NullToDefault(0, 5).toInt(), 0);
}

TEST_P(ServiceDbRows, FourWritersKeepEveryRowUnderAKeyOfItsOwn) {
    // Four connections add rows at once, as four services sharing the
    // database would: every row is stored, each under its own key.
    constexpr int kWriters = 4, kRows = 150;
    std::atomic<int> failed{0};
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w) {
        writers.emplace_back([&, w] {
            platform::AdoConnection connection;
            connection.open(db->connectionString());
            const AdoCommand nextKey(connection, common::kNextFileKeySql);
            AdoRecordset rs;
            rs.openQuery(connection, "SELECT * FROM Sorvex_Tavrel_Files WHERE 1 = 0", {}, common::kFilesTable);
            for (int i = 0; i < kRows; ++i) {
                newFile(rs, QString("writer %1 row %2").arg(w).arg(i));
                if (modGlobal_AddRowWithNewKey(rs, nextKey, "file_number") == 0) ++failed;
            }
        });
    }
    for (std::thread& t : writers) t.join();
    EXPECT_EQ(failed, 0);
    QSqlQuery q = TaskDbConnection.query("SELECT COUNT(*), COUNT(DISTINCT file_number), COUNT(DISTINCT file_name) "
                                         "FROM Sorvex_Tavrel_Files");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), kWriters * kRows);
    EXPECT_EQ(q.value(1).toInt(), kWriters * kRows);
    EXPECT_EQ(q.value(2).toInt(), kWriters * kRows);
    EXPECT_TRUE(events().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Engines, ServiceDbRows,
                         ::testing::Values(testsupport::DbEngine::Sqlite, testsupport::DbEngine::Postgres),
                         [](const auto& info) { return testsupport::engineName(info.param); });
