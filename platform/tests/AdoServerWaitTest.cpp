// A server connection's waits: the keep-alives and bounds every connection
// has, a server that stops answering under a statement or an open, the
// window's thread served meanwhile, and an attempt to reopen that never waits.
#include "platform/AdoConnection.h"
#include "platform/AdoErrors.h"
#include "platform/DatabaseWait.h"
#include "platform/Error.h"
#include "platform/InetWait.h"
#include "platform/testsupport/ServerFaults.h"
#include "platform/testsupport/TestDatabase.h"
#include "platform/testsupport/TestSupport.h"

#include <QCoreApplication>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QTcpServer>
#include <gtest/gtest.h>

#include <libpq-fe.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

using platform::AdoConnection;
using testsupport::DbEngine;
namespace adoerr = platform::adoerr;

namespace {

platform::Error errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const platform::Error& e) {
        return e;
    }
    return platform::Error(0, QString());
}

int socketOf(AdoConnection& c) {
    const QVariant handle = c.database().driver()->handle();
    return PQsocket(*static_cast<PGconn* const*>(handle.constData()));
}

int socketOption(int fd, int level, int name) {
    int value = -1;
    socklen_t size = sizeof value;
    ::getsockopt(fd, level, name, &value, &size);
    return value;
}

// A policy as a window installs one: it counts its servings and cancels
// after a few of them.
struct CountingWait {
    QStringList addresses;
    int served = 0;
    int cancelAfter = 3;
    bool servedInsideWait = true;
    platform::DatabaseWaitPolicy previous;
    CountingWait() {
        previous = platform::setDatabaseWaitPolicy(
            {[this](const QString& address) { addresses << address; }, [] {},
             [this] {
                 ++served;
                 servedInsideWait = servedInsideWait && platform::requestWaiting();
                 QCoreApplication::processEvents();
             },
             [this] { return served >= cancelAfter; }});
    }
    ~CountingWait() { platform::setDatabaseWaitPolicy(std::move(previous)); }
};

QString silentHost(const QTcpServer& silent, const QString& extra = {}) {
    return QStringLiteral("Provider=PostgreSQL;Data Source=127.0.0.1:%1;Initial Catalog=tavrel;User ID=lab;Password=pw%2")
        .arg(silent.serverPort())
        .arg(extra);
}

}  // namespace

// Keep-alives and a time-out on unacknowledged data unless the site sets its own.
TEST(AdoServerWait, EveryConnectionHasKeepAlivesAndABoundOnUnacknowledgedData) {
    testsupport::TestDatabase db(DbEngine::Postgres);
    if (!db.available()) GTEST_SKIP() << "TAVREL_TEST_PG is not set";
    const struct {
        const char* extra;
        int idle, interval, count, userTimeoutMs;
    } cases[] = {
        {"", 30, 10, 3, 60000},
        {";keepalives_idle=7;keepalives_interval=2;keepalives_count=4;tcp_user_timeout=9000", 7, 2, 4, 9000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extra);
        AdoConnection connection;
        connection.open(db.connectionString() + QString::fromLatin1(c.extra));
        const int fd = socketOf(connection);
        EXPECT_EQ(socketOption(fd, SOL_SOCKET, SO_KEEPALIVE), 1);
        EXPECT_EQ(socketOption(fd, IPPROTO_TCP, TCP_KEEPIDLE), c.idle);
        EXPECT_EQ(socketOption(fd, IPPROTO_TCP, TCP_KEEPINTVL), c.interval);
        EXPECT_EQ(socketOption(fd, IPPROTO_TCP, TCP_KEEPCNT), c.count);
        EXPECT_EQ(socketOption(fd, IPPROTO_TCP, TCP_USER_TIMEOUT), c.userTimeoutMs);
    }
}

// A server process that stops under a statement (its host still acknowledges
// what is sent, so no TCP time-out ever fires): without a window the
// statement fails within its bound, naming the server and the database; on
// a window's thread the wait serves the window and Cancel ends it. Either
// way the connection is closed, says so at once, and opens again.
TEST(AdoServerWait, AStoppedServerFailsTheStatementWithinItsBoundOrAtCancel) {
    testsupport::TestDatabase db(DbEngine::Postgres);
    if (!db.available()) GTEST_SKIP() << "TAVREL_TEST_PG is not set";
    const auto cs = platform::OleDbConnectionString::parse(db.connectionString());
    const QString address = cs.dataSource();
    const QString database = cs.value("Initial Catalog");
    for (const bool window : {false, true}) {
        SCOPED_TRACE(window ? "window" : "no window");
        AdoConnection c;
        c.open(db.connectionString());
        testsupport::StoppedServerProcess stopped(testsupport::serverProcessOf(c), 60000);
        if (!stopped.stopped()) GTEST_SKIP() << "the server's processes cannot be stopped by this user";
        std::optional<CountingWait> wait;
        if (window) wait.emplace();
        const platform::Error e = errorOf([&] { c.query("SELECT 1", {}, 1).next(); });
        stopped.resume();
        if (window) {
            EXPECT_EQ(e.number(), adoerr::OperationCancelled) << qPrintable(e.description());
            EXPECT_EQ(wait->addresses, QStringList{address});
            EXPECT_GE(wait->served, 3);
            EXPECT_TRUE(wait->servedInsideWait);
        } else {
            EXPECT_EQ(e.number(), adoerr::Timeout) << qPrintable(e.description());
            EXPECT_TRUE(e.description().contains("within 11 seconds")) << qPrintable(e.description());
        }
        EXPECT_TRUE(e.description().contains(database + " at " + address)) << qPrintable(e.description());
        wait.reset();
        EXPECT_FALSE(c.ping());
        ASSERT_TRUE(c.reopen());
        EXPECT_TRUE(c.ping());
    }
}

// A host that accepts and never answers: an open on the window's thread ends
// at Cancel, one without a window within libpq's bound, and a reopen without
// waiting answers at once, again and again, until its attempt has failed.
TEST(AdoServerWait, ASilentHostEndsAnOpenAtCancelOrItsBoundAndAReopenNeverWaits) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    const QString address = QStringLiteral("127.0.0.1:%1").arg(silent.serverPort());
    AdoConnection c;
    {
        CountingWait wait;
        const platform::Error e = errorOf([&] { c.open(silentHost(silent)); });
        EXPECT_EQ(e.number(), adoerr::OperationCancelled) << qPrintable(e.description());
        EXPECT_EQ(wait.addresses, QStringList{address});
        EXPECT_TRUE(e.description().contains("tavrel at " + address)) << qPrintable(e.description());
    }
    const platform::Error bounded = errorOf([&] { c.open(silentHost(silent, ";connect_timeout=2")); });
    EXPECT_EQ(bounded.number(), adoerr::Timeout) << qPrintable(bounded.description());
    EXPECT_TRUE(bounded.description().contains("no answer within 2 seconds")) << qPrintable(bounded.description());
    EXPECT_FALSE(bounded.description().contains("pw")) << qPrintable(bounded.description());

    // The string of the failed open is what a reopen tries.
    for (int turn = 0; turn < 5; ++turn) {
        EXPECT_EQ(c.reopenWithoutWaiting(), AdoConnection::Reopening::Pending);
        EXPECT_TRUE(c.reopenPending());
        EXPECT_FALSE(c.isOpen());
    }
    silent.close();
    QString why;
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return c.reopenWithoutWaiting(&why) == AdoConnection::Reopening::Failed; }, 30000));
    EXPECT_TRUE(why.contains(address)) << qPrintable(why);
    EXPECT_FALSE(c.reopenPending());
    // Closing gives up an attempt under way at once.
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, silent.serverPort()));
    EXPECT_EQ(c.reopenWithoutWaiting(), AdoConnection::Reopening::Pending);
    c.close();
    EXPECT_FALSE(c.reopenPending());
}
