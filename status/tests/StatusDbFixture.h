#pragma once
// A task database of the test's engine behind the client's one connection,
// a private program folder, this client's names, a recorder that answers the
// message boxes, and helpers that write task, file and result rows as the
// task editor and the service write them.
#include "clientcommon/ClientClock.h"
#include "clientcommon/Globals.h"
#include "clientcommon/TaskDatabase.h"
#include "clientcommon/TaskDbSchema.h"
#include "platform/AdoConnection.h"
#include "platform/MessageBox.h"
#include "platform/testsupport/TestDatabase.h"
#include "platform/testsupport/TestSupport.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QStringList>
#include <QVariantMap>
#include <gtest/gtest.h>

#include <memory>

namespace statustest {

struct BoxRecorder : platform::MessageBoxHandler {
    QStringList texts;
    QList<int> answers;  // given in order; then OK (or Yes)
    int show(const QString& text, int style, const QString& title) override {
        EXPECT_EQ(title, "Sorvex Tavrel");
        texts.append(text);
        if (!answers.isEmpty()) return answers.takeFirst();
        return (style & 7) == platform::vbYesNo ? platform::vbYes : platform::vbOK;
    }
};

inline const QDateTime kNow(QDate(2024, 5, 6), QTime(10, 30, 0));

class StatusDb : public ::testing::TestWithParam<testsupport::DbEngine> {
protected:
    void SetUp() override {
        db = std::make_unique<testsupport::TestDatabase>(GetParam());
        if (!db->available()) GTEST_SKIP() << "TAVREL_TEST_PG is not set";
        tavrel::TaskDbConnection.open(db->connectionString());
        ASSERT_TRUE(tavrel::modGlobal_CreateTaskDatabase(tavrel::TaskDbConnection));
        common::ProgramTaskDatabase.prepareNextKeyCommands();
        previousBoxes = platform::setMessageBoxHandler(&boxes);
        previousClock = tavrel::setClientClock([] { return kNow; });
        tavrel::ProgramFolder = home.path();
        tavrel::LocalComputerName = "LABPC";
        tavrel::LocalUserName = "tester";
        tavrel::CommandLineArgs = {"Tavrel", "-debug"};  // the service is not signalled
        tavrel::TrayMessageId = 0;
        tavrel::PeakListRoot = home.file("qpl");
        started = true;
    }
    void TearDown() override {
        if (!started) return;
        platform::setMessageBoxHandler(previousBoxes);
        tavrel::setClientClock(previousClock);
        common::ProgramTaskDatabase.close();
    }

    platform::AdoConnection& c() { return tavrel::TaskDbConnection; }

    // A task of this computer and user, "new", schedule "now", as Run writes it.
    void addTask(int uid, const QVariantMap& overrides = {}) {
        QVariantMap row = {{"task_UID", uid},
                           {"task_label", QStringLiteral("Task %1").arg(uid)},
                           {"parameter_set", "\\\\LABPC\\params\\search.par"},
                           {"schedule_type", "now"},
                           {"start_time", QDateTime(QDate(2024, 5, 1), QTime(9, 0))},
                           {"task_status", "new"},
                           {"computer_name", "LABPC"},
                           {"user_name", "tester"},
                           {"import_filter", "--- None ---"},
                           {"follow_up", 0},
                           {"auto_print", 0}};
        for (auto it = overrides.begin(); it != overrides.end(); ++it) row[it.key()] = it.value();
        insert("Sorvex_Tavrel_Tasks", row);
    }
    void addResult(int number, int uid, const QVariantMap& overrides = {}) {
        QVariantMap row = {{"result_number", number},
                           {"task_UID", uid},
                           {"input_data_file", QStringLiteral("\\\\LABPC\\data\\run%1.raw").arg(number)},
                           {"submitted", QDateTime(QDate(2024, 5, 2), QTime(8, 0))},
                           {"returned", QDateTime(QDate(2024, 5, 2), QTime(8, 5))}};
        for (auto it = overrides.begin(); it != overrides.end(); ++it) row[it.key()] = it.value();
        insert("Sorvex_Tavrel_Results", row);
    }
    void addFile(int number, int uid, const QString& name, const QVariantMap& overrides = {}) {
        QVariantMap row = {{"file_number", number},
                           {"task_UID", uid},
                           {"file_name", name},
                           {"next_action", QDateTime(QDate(1899, 12, 30), QTime(0, 0))}};
        for (auto it = overrides.begin(); it != overrides.end(); ++it) row[it.key()] = it.value();
        insert("Sorvex_Tavrel_Files", row);
    }
    void insert(const QString& table, const QVariantMap& row) { testsupport::insertRow(c(), table, row); }
    void set(const QString& table, const QString& key, int keyValue, const QString& column, const QVariant& value) {
        c().execute(QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ?").arg(table, column, key), {value, keyValue});
    }
    void setTask(int uid, const QString& column, const QVariant& value) {
        set("Sorvex_Tavrel_Tasks", "task_UID", uid, column, value);
    }
    QVariant value(const QString& sql, const QVariantList& params = {}) {
        QSqlQuery q = c().query(sql, params);
        return q.next() ? q.value(0) : QVariant();
    }
    QVariant taskColumn(int uid, const QString& column) {
        return value(QStringLiteral("SELECT %1 FROM Sorvex_Tavrel_Tasks WHERE task_UID = ?").arg(column), {uid});
    }
    long count(const QString& table, const QString& where = "1 = 1", const QVariantList& params = {}) {
        return value(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2").arg(table, where), params).toLongLong();
    }

    testsupport::TempHome home;
    std::unique_ptr<testsupport::TestDatabase> db;
    BoxRecorder boxes;
    bool started = false;

private:
    platform::MessageBoxHandler* previousBoxes = nullptr;
    tavrel::ClientClock previousClock;
};

}  // namespace statustest
