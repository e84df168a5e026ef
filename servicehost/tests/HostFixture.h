#pragma once
// A task database, settings and a simulated server in a private program
// folder, shared by the host's in-process and end-to-end tests.
#include "common/Preferences.h"
#include "common/Settings.h"
#include "clientcommon/TaskDbSchema.h"
#include "platform/AdoConnection.h"
#include "platform/testsupport/SorvexSim.h"
#include "platform/testsupport/TestDatabase.h"
#include "platform/testsupport/TestSupport.h"
#include "service/EventLog.h"

#include <QDateTime>
#include <QDir>
#include <QSqlQuery>
#include <QVariantMap>

#include <gtest/gtest.h>

namespace hosttest {

inline const QString kApp = QStringLiteral("Sorvex Tavrel");

// Settings of one program folder (the one TAVREL_HOME names when called).
inline void saveSettings(const QString& baseUrl, const QString& connection, const QString& peakListRoot,
                         int taskCheckInterval = 60) {
    const auto save = [](const char* name, const QVariant& value) {
        ASSERT_TRUE(common::modGlobal_SaveSetting(kApp, common::PreferencesSection, QString::fromLatin1(name), value));
    };
    save("BaseUrl", baseUrl);
    save("AccessType", "1");
    save("ADOConnect", connection);
    save("PeakListRoot", peakListRoot);
    save("TaskCheckInterval", QString::number(taskCheckInterval));
}

// Rows written and read beside the service, on a connection of the test's own.
class TaskRows {
public:
    explicit TaskRows(const QString& connectionString) { db_.open(connectionString); }

    void createTables() { ASSERT_TRUE(tavrel::modGlobal_CreateTaskDatabase(db_)); }

    // A task of computer LABPC, "new", schedule "monitor", with an existing parameter file.
    void addTask(int uid, const QVariantMap& overrides = {}) {
        QVariantMap row = {{"task_UID", uid},
                           {"task_label", QStringLiteral("Task %1").arg(uid)},
                           {"parameter_set", parameterFile},
                           {"schedule_type", "monitor"},
                           {"start_time", QDateTime(QDate(2024, 5, 1), QTime(9, 0))},
                           {"task_status", "new"},
                           {"computer_name", "LABPC"},
                           {"user_name", "tester"}};
        for (auto it = overrides.begin(); it != overrides.end(); ++it) row[it.key()] = it.value();
        testsupport::insertRow(db_, QStringLiteral("Sorvex_Tavrel_Tasks"), row);
    }
    void addFile(int fileNumber, int uid) {
        db_.execute(QStringLiteral("INSERT INTO Sorvex_Tavrel_Files (file_number, task_UID, file_name, next_action) "
                                   "VALUES (?, ?, ?, ?)"),
                    {fileNumber, uid, QStringLiteral("/data/a.raw"), db_.toDatabase(QDateTime::currentDateTime())});
    }
    // `count` tasks from `firstUid` on, long finished ("completed" and
    // "cancelled"), a third of them of another computer: a long history.
    void addFinishedTasks(int firstUid, int count) {
        const QVariant start = db_.toDatabase(QDateTime(QDate(2023, 1, 1), QTime(8, 0)));
        db_.beginTrans();
        for (int uid = firstUid; uid < firstUid + count; ++uid)
            db_.executePrepared(QStringLiteral("INSERT INTO Sorvex_Tavrel_Tasks (task_UID, task_label, parameter_set, "
                                               "schedule_type, start_time, task_status, computer_name, user_name) "
                                               "VALUES (?, ?, ?, 'now', ?, ?, ?, 'tester')"),
                                {uid, QStringLiteral("Task %1").arg(uid), parameterFile, start,
                                 uid % 2 ? QStringLiteral("completed") : QStringLiteral("cancelled"),
                                 uid % 3 ? QStringLiteral("LABPC") : QStringLiteral("OTHER")});
        db_.commitTrans();
    }
    // Finished tasks of the history that no answer has touched.
    int untouchedFinishedTasks() {
        QSqlQuery q = db_.query(QStringLiteral(
            "SELECT COUNT(*) FROM Sorvex_Tavrel_Tasks WHERE task_status IN ('completed', 'cancelled') "
            "AND action_response IS NULL AND action_request IS NULL"));
        return q.next() ? q.value(0).toInt() : -1;
    }
    void request(int uid, const QString& word) {
        db_.execute(QStringLiteral("UPDATE Sorvex_Tavrel_Tasks SET action_request = ?, action_response = NULL WHERE task_UID = ?"),
                    {word, uid});
    }
    void set(int uid, const QString& column, const QVariant& value) {
        db_.execute(QStringLiteral("UPDATE Sorvex_Tavrel_Tasks SET %1 = ? WHERE task_UID = ?").arg(column),
                    {db_.toDatabase(value), uid});
    }
    QVariant column(int uid, const QString& name) {
        QSqlQuery q = db_.query(QStringLiteral("SELECT %1 FROM Sorvex_Tavrel_Tasks WHERE task_UID = ?").arg(name), {uid});
        return q.next() ? db_.fromDatabase(q.value(0)) : QVariant();
    }
    QString response(int uid) { return column(uid, "action_response").toString(); }
    QVariant requestWord(int uid) { return column(uid, "action_request"); }
    QString status(int uid) { return column(uid, "task_status").toString(); }
    platform::AdoConnection& connection() { return db_; }

    QString parameterFile;

private:
    platform::AdoConnection db_;
};

// The event log's messages ("type|task|message"), read from the file.
inline QStringList eventLog(const QString& folder) {
    QStringList out;
    for (const QByteArray& line : testsupport::readFile(folder + "/" + tavrelsvc::kEventLogFileName).split('\n')) {
        const QStringList f = tavrelsvc::splitEventLine(QString::fromUtf8(line).trimmed());
        if (f.size() == 7) out << f[0] + "|" + f[3].trimmed() + "|" + f[6];
    }
    return out;
}

inline int countContaining(const QStringList& lines, const QString& text) {
    int n = 0;
    for (const QString& l : lines) n += l.contains(text) ? 1 : 0;
    return n;
}

}  // namespace hosttest
