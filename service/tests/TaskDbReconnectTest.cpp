// A task database that stays out of reach: one line when the outage begins,
// a reminder once five minutes have passed (not at every attempt), and one
// line when it is back. A SQLite file is never lost this way, so this runs on
// PostgreSQL only.
#include "service/TaskDbReconnect.h"

#include "platform/testsupport/TestDatabase.h"
#include "platform/testsupport/TestSupport.h"
#include "service/EventLog.h"
#include "service/Preferences.h"
#include "service/TaskDb.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace tavrelsvc;

namespace {

class TaskDbOutage : public ::testing::Test {
protected:
    void SetUp() override {
        if (!db.available()) GTEST_SKIP() << "TAVREL_TEST_PG is not set";
        previousClock = setTaskDbOutageClock([this] { return nowMs; });
        admin.open(qEnvironmentVariable("TAVREL_TEST_PG"));
        ADOConnect = db.connectionString();
        TaskDbConnection.open(ADOConnect);
        name = scalar("SELECT current_database()").toString();
        logPath = home.file(kEventLogFileName);
        ASSERT_TRUE(EventLogStream::open(logPath));
    }
    void TearDown() override {
        if (!db.available()) return;
        allowConnections(true);
        EventLogStream::close();
        TaskDbConnection.close();
        ADOConnect.clear();
        setTaskDbOutageClock(previousClock);
    }
    static QVariant scalar(const QString& sql) {
        QSqlQuery q = TaskDbConnection.query(sql);
        return q.next() ? q.value(0) : QVariant();
    }
    void allowConnections(bool allow) {
        admin.execute(QStringLiteral("ALTER DATABASE %1 ALLOW_CONNECTIONS %2").arg(name, allow ? "true" : "false"));
    }
    void cut() {
        admin.execute("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = ?", {name});
    }
    QStringList logged() const {
        QStringList lines;
        for (const QString& l : QString::fromUtf8(testsupport::readFile(logPath)).split("\r\n", Qt::SkipEmptyParts)) {
            const QStringList f = splitEventLine(l);
            lines << f.value(0) + "|" + f.value(6);
        }
        return lines;
    }

    testsupport::TestDatabase db{testsupport::DbEngine::Postgres};
    testsupport::TempHome home;
    platform::AdoConnection admin;
    QString name, logPath;
    qint64 nowMs = 0;
    OutageLog::Clock previousClock;
};

TEST_F(TaskDbOutage, IsSaidWhenItBeginsEveryFiveMinutesAndWhenItEnds) {
    allowConnections(false);
    cut();
    ASSERT_TRUE(noteTaskDatabaseFailure("server closed the connection"));
    EXPECT_TRUE(taskDatabaseLost());
    for (int attempt = 0; attempt < 4; ++attempt) {  // four minutes of attempts: no line
        nowMs += 60 * 1000;
        EXPECT_EQ(reconnectTaskDatabase(), Reconnect::StillLost);
    }
    ASSERT_EQ(logged().size(), 1) << qPrintable(logged().join('\n'));
    nowMs += 60 * 1000;  // five minutes since the first line
    EXPECT_EQ(reconnectTaskDatabase(), Reconnect::StillLost);
    nowMs += 60 * 1000;
    EXPECT_EQ(reconnectTaskDatabase(), Reconnect::StillLost);
    allowConnections(true);
    EXPECT_EQ(reconnectTaskDatabase(), Reconnect::Back);
    EXPECT_FALSE(taskDatabaseLost());
    EXPECT_EQ(reconnectTaskDatabase(), Reconnect::Connected);
    EXPECT_EQ(scalar("SELECT 1").toInt(), 1);

    const QStringList lines = logged();
    ASSERT_EQ(lines.size(), 3) << qPrintable(lines.join('\n'));
    const QString database = "the PostgreSQL database " + name;
    EXPECT_TRUE(lines[0].startsWith("Error|The connection to the task database is lost (server closed the connection)"))
        << qPrintable(lines[0]);
    EXPECT_TRUE(lines[0].contains(database)) << qPrintable(lines[0]);
    EXPECT_TRUE(lines[1].startsWith("Error|The task database is still out of reach after 5 minutes (")) << qPrintable(lines[1]);
    EXPECT_TRUE(lines[1].contains(database)) << qPrintable(lines[1]);
    EXPECT_EQ(lines[2], "Event|The connection to the task database is back; the service goes on (out of reach for 6 "
                        "minutes)");
}

}  // namespace
