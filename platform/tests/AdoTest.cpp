#include "platform/AdoCommand.h"
#include "platform/AdoConnection.h"
#include "platform/AdoErrors.h"
#include "platform/AdoRecordset.h"
#include "platform/Error.h"
#include "platform/MessageBox.h"
#include "platform/OleDbConnectionString.h"
#include "platform/testsupport/TestDatabase.h"
#include "platform/testsupport/TestSupport.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QSqlQuery>
#include <gtest/gtest.h>

#include <sys/stat.h>

using platform::AdoConnection;
using platform::AdoRecordset;
using platform::Error;
using platform::MessageBoxHandler;
using platform::MsgBox;
using platform::TransactionGuard;
using platform::vbOK;
using testsupport::DbEngine;
namespace adoerr = platform::adoerr;

namespace {

long errorNumberOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const platform::Error& e) {
        return e.number();
    }
    return 0;
}

}  // namespace

TEST(OleDbConnectionString, ParsesKeysAndQuotedValues) {
    struct Case {
        const char* text;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/x/TaskDB.mdb", "data source", "/x/TaskDB.mdb"},
        {"provider = PostgreSQL ; DATA SOURCE = h:5433", "Data Source", "h:5433"},
        {"Data Source='/a b;c/it''s.mdb';Mode=Read|Write", "Data Source", "/a b;c/it's.mdb"},
        {"Data Source=\"say \"\"hi\"\"\";x=1", "data source", "say \"hi\""},
        {"Password='';User ID=u", "Password", ""},
        {";;Mode=Read|Write;", "mode", "Read|Write"},
        {"a=1;a=2", "A", "2"},
    };
    for (const Case& c : cases) {
        const auto cs = platform::OleDbConnectionString::parse(QString::fromUtf8(c.text));
        EXPECT_TRUE(cs.contains(c.key)) << c.text;
        EXPECT_EQ(cs.value(c.key), QString::fromUtf8(c.value)) << c.text;
    }
    for (const char* bad : {"Data Source='open", "justtext", "=v", "Data Source='a'b"}) {
        EXPECT_EQ(errorNumberOf([&] { platform::OleDbConnectionString::parse(bad); }), adoerr::InvalidArgument) << bad;
    }
    // The error says where, never the whole text: it may hold a password.
    try {
        platform::OleDbConnectionString::parse("Provider=PostgreSQL;Password=TopSecret;Data Source='open");
        FAIL() << "parsed";
    } catch (const platform::Error& e) {
        EXPECT_FALSE(e.description().contains("TopSecret")) << qPrintable(e.description());
        EXPECT_TRUE(e.description().contains("Data Source")) << qPrintable(e.description());
    }
}

TEST(AdoConnection, RefusesUnknownProvidersAndMissingFiles) {
    AdoConnection c;
    try {
        c.open("Provider=SQLOLEDB;Data Source=server");
        FAIL() << "opened";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), adoerr::ProviderNotFound);
        EXPECT_TRUE(e.description().contains("SQLOLEDB"));
    }
    EXPECT_FALSE(c.isOpen());
    EXPECT_EQ(errorNumberOf([&] { c.open("Data Source=/tmp/x.mdb"); }), adoerr::ProviderNotFound);
    EXPECT_EQ(errorNumberOf([&] { c.open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/nonexistent/TaskDB.mdb"); }),
              adoerr::ConnectFailed);
}

class AdoEngine : public ::testing::TestWithParam<DbEngine> {
protected:
    void SetUp() override {
        db = std::make_unique<testsupport::TestDatabase>(GetParam());
        if (!db->available()) GTEST_SKIP() << "TAVREL_TEST_PG is not set";
        c.open(db->connectionString());
        c.execute("CREATE TABLE t (id INTEGER NOT NULL CONSTRAINT t_key PRIMARY KEY, name VARCHAR(255), "
                  "stamp TIMESTAMP, size BIGINT, flag SMALLINT NOT NULL)");
    }
    std::unique_ptr<testsupport::TestDatabase> db;
    AdoConnection c;
};

TEST_P(AdoEngine, EngineErrorsBecomeTheNumbersCallersCompare) {
    c.execute("INSERT INTO t (id, flag) VALUES (1, 0)");
    EXPECT_EQ(errorNumberOf([&] { c.query("SELECT * FROM missing_table"); }), adoerr::TableNotFound);
    AdoRecordset rs;
    EXPECT_EQ(errorNumberOf([&] { rs.openTable(c, "missing_table"); }), adoerr::TableNotFound);
    EXPECT_EQ(errorNumberOf([&] { c.query("SELECT nope FROM t"); }), adoerr::MissingValue);
    EXPECT_EQ(errorNumberOf([&] { c.execute("INSERT INTO t (id, flag) VALUES (?, 0)", {1}); }), adoerr::DuplicateKey);
    EXPECT_EQ(errorNumberOf([&] { c.execute("INSERT INTO t (id) VALUES (?)", {2}); }), adoerr::RequiredValueMissing);
    EXPECT_EQ(errorNumberOf([&] { c.execute("SELEKT 1"); }), adoerr::ErrorsInCommand);

    rs.openTable(c, "t");
    EXPECT_EQ(errorNumberOf([&] { rs.value("nope"); }), adoerr::ItemNotFound);
    EXPECT_EQ(rs.fieldAttributes("name") & platform::adFldIsNullable, platform::adFldIsNullable);
    EXPECT_EQ(rs.fieldAttributes("flag") & platform::adFldIsNullable, 0);
    EXPECT_EQ(c.primaryKeyColumn("t").toLower(), "id");
}

TEST_P(AdoEngine, RecordsetAddsUpdatesFindsAndDeletesRows) {
    AdoRecordset rs;
    rs.openTable(c, "t");
    EXPECT_TRUE(rs.eof());
    const QString quoted = "it's a \"label\"; DROP TABLE t; --";
    const QDateTime stamp(QDate(2024, 2, 29), QTime(13, 45, 7), Qt::LocalTime);
    const qint64 big = 5'000'000'000LL;  // beyond 32 bits
    for (int id : {1, 2, 3}) {
        rs.addNew();
        rs.setValue("ID", id);  // names without regard to case
        rs.setValue("name", id == 2 ? quoted : QString("row %1").arg(id));
        rs.setValue("stamp", stamp);
        rs.setValue("size", big + id);
        rs.setValue("flag", true);
        rs.update();
        EXPECT_EQ(rs.value("id").toInt(), id);
    }

    AdoRecordset other;
    other.openQuery(c, "SELECT * FROM t WHERE name = ?", {quoted}, "t");
    ASSERT_EQ(other.recordCount(), 1);
    EXPECT_EQ(other.value("name").toString(), quoted);
    EXPECT_EQ(other.value("stamp").toDateTime(), stamp);
    // The column holds the local wall-clock time, whatever the zone.
    QSqlQuery text = c.query("SELECT CAST(stamp AS VARCHAR(40)) FROM t WHERE id = 2");
    ASSERT_TRUE(text.next());
    EXPECT_TRUE(text.value(0).toString().startsWith("2024-02-29")) << text.value(0).toString().toStdString();
    EXPECT_EQ(text.value(0).toString().mid(11, 8), "13:45:07");
    EXPECT_EQ(other.value("size").toLongLong(), big + 2);
    EXPECT_EQ(other.value("flag").toInt(), 1);
    EXPECT_TRUE(other.value("name").isValid());

    // Another recordset changes row 2; ours sees it after Requery.
    other.setValue("name", QVariant());
    EXPECT_EQ(errorNumberOf([&] { other.moveNext(); }), adoerr::ErrorsInCommand);  // pending change kept
    other.update();
    rs.requery();
    rs.find("id=2");
    ASSERT_FALSE(rs.eof());
    EXPECT_TRUE(rs.value("name").isNull());
    rs.moveFirst();
    rs.find("name = 'ROW 3'");
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.value("id").toInt(), 3);
    rs.find("id=99");
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(errorNumberOf([&] { rs.value("id"); }), adoerr::NoCurrentRecord);

    rs.moveFirst();
    rs.deleteRecord();
    EXPECT_EQ(rs.value("id").toInt(), 2);
    rs.requery();
    EXPECT_EQ(rs.recordCount(), 2);

    // An edit of a row another writer removed is refused, not lost in silence.
    c.execute("DELETE FROM t WHERE id = ?", {2});
    rs.moveFirst();
    rs.setValue("name", "x");
    EXPECT_EQ(errorNumberOf([&] { rs.update(); }), adoerr::RowNotFound);
    rs.cancelUpdate();

    AdoRecordset readOnly = platform::AdoCommand(c, "SELECT MAX(id) AS maxUID FROM t", 15).execute();
    EXPECT_EQ(readOnly.value("maxUID").toInt(), 3);
    EXPECT_EQ(errorNumberOf([&] { readOnly.addNew(); }), adoerr::ReadOnly);
}

TEST_P(AdoEngine, FailedTransactionLeavesNothing) {
    {
        platform::TransactionGuard tx(c);
        c.execute("INSERT INTO t (id, flag) VALUES (1, 0)");
        c.execute("CREATE TABLE u (x INTEGER)");
    }  // no commit
    EXPECT_FALSE(c.tableExists("u"));
    EXPECT_EQ(c.query("SELECT COUNT(*) FROM t").next(), true);
    AdoRecordset rs;
    rs.openTable(c, "t");
    EXPECT_EQ(rs.recordCount(), 0);
    {
        platform::TransactionGuard tx(c);
        c.execute("INSERT INTO t (id, flag) VALUES (1, 0)");
        tx.commit();
    }
    rs.requery();
    EXPECT_EQ(rs.recordCount(), 1);

    // Inside a transaction a refused row leaves the transaction usable.
    {
        platform::TransactionGuard tx(c);
        rs.addNew();
        rs.setValue("id", 1);
        rs.setValue("flag", 0);
        EXPECT_EQ(errorNumberOf([&] { rs.update(); }), adoerr::DuplicateKey);
        rs.setValue("id", 2);
        rs.update();
        tx.commit();
    }
    rs.requery();
    EXPECT_EQ(rs.recordCount(), 2);

    // Also when the recordset's statements have a time-out other than the
    // connection's last one.
    AdoRecordset timed;
    timed.openQuery(c, "SELECT * FROM t", {}, "t", 15);
    {
        platform::TransactionGuard tx(c);
        timed.addNew();
        timed.setValue("id", 2);
        timed.setValue("flag", 0);
        EXPECT_EQ(errorNumberOf([&] { timed.update(); }), adoerr::DuplicateKey);
        timed.setValue("id", 3);
        timed.update();
        c.execute("INSERT INTO t (id, flag) VALUES (4, 0)");
        tx.commit();
    }
    EXPECT_EQ(c.query("SELECT COUNT(*) FROM t").next(), true);
    rs.requery();
    EXPECT_EQ(rs.recordCount(), 4);

    // A statement that fails outright under a time-out of its own still lets
    // the transaction roll back.
    {
        platform::TransactionGuard tx(c);
        c.execute("INSERT INTO t (id, flag) VALUES (5, 0)");
        EXPECT_NE(errorNumberOf([&] { c.query("SELECT * FROM no_such_table", {}, 15); }), 0);
    }
    rs.requery();
    EXPECT_EQ(rs.recordCount(), 4);
}

// A box shown inside a transaction is held until the transaction has ended
// (rolled back or committed, also when it was shown in a nested guard), so
// another connection's writes never wait on a user; questions are not held.
TEST_P(AdoEngine, BoxesShownInATransactionWaitUntilItEnds) {
    struct SecondWriter : MessageBoxHandler {
        AdoConnection other;
        QStringList shown;
        int next = 100;
        int show(const QString& text, int, const QString&) override {
            try {
                other.execute("INSERT INTO t (id, flag) VALUES (?, 0)", {next++});
                shown << text + ": written";
            } catch (const Error& e) {
                shown << text + ": " + e.description();
            }
            return vbOK;
        }
    } writer;
    writer.other.open(db->connectionString());
    if (c.engine() == AdoConnection::Engine::Postgres) writer.other.execute("SET lock_timeout = 2000");
    MessageBoxHandler* previous = setMessageBoxHandler(&writer);
    {
        TransactionGuard tx(c);
        c.execute("INSERT INTO t (id, flag) VALUES (1, 0)");
        MsgBox("rolled back");
        EXPECT_TRUE(writer.shown.isEmpty());
    }
    {
        TransactionGuard tx(c);
        c.execute("INSERT INTO t (id, flag) VALUES (2, 0)");
        {
            TransactionGuard nested(c);  // joins the running one
            MsgBox("nested");
        }
        MsgBox("committed");
        EXPECT_EQ(writer.shown.size(), 1);
        tx.commit();
    }
    MsgBox("after");
    setMessageBoxHandler(previous);
    EXPECT_EQ(writer.shown, QStringList({"rolled back: written", "nested: written", "committed: written", "after: written"}));
}

TEST_P(AdoEngine, ASessionLockIsHeldByOneConnectionUntilItCloses) {
    AdoConnection other;
    other.open(db->connectionString());
    ASSERT_TRUE(c.tryLockSession("TavrelService LABPC"));
    EXPECT_TRUE(c.tryLockSession("TavrelService LABPC"));  // held already
    EXPECT_FALSE(other.tryLockSession("TavrelService LABPC"));
    EXPECT_TRUE(other.tryLockSession("TavrelService OTHERPC"));
    AdoConnection third;
    third.open(db->connectionString());
    EXPECT_FALSE(third.tryLockSession("TavrelService OTHERPC", 300));  // waited for, in vain
    EXPECT_EQ(errorNumberOf([&] { c.tryLockSession("TavrelService THIRDPC"); }), adoerr::InvalidArgument);

    // A reopened connection holds its lock again.
    EXPECT_TRUE(c.reopen());
    EXPECT_TRUE(c.isOpen());
    EXPECT_EQ(c.sessionLockName(), "TavrelService LABPC");
    EXPECT_FALSE(third.tryLockSession("TavrelService LABPC"));
    EXPECT_TRUE(c.ping());

    c.close();
    EXPECT_FALSE(c.ping());
    EXPECT_TRUE(third.tryLockSession("TavrelService LABPC"));
}

// What a site needs of libpq (TLS with certificate checks, say) is passed on.
TEST(AdoPostgres, ConnectionKeysOfTheSiteArePassedOn) {
    testsupport::TestDatabase db(DbEngine::Postgres);
    if (!db.available()) GTEST_SKIP() << "TAVREL_TEST_PG is not set";
    AdoConnection c;
    c.open(db.connectionString() + ";sslmode=disable;Application_Name='Tavrel service'");
    QSqlQuery q = c.query("SELECT current_setting('application_name')");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), "Tavrel service");
    c.close();
    // The test server speaks no TLS: a site that requires it is refused.
    try {
        c.open(db.connectionString() + ";sslmode=require");
        FAIL() << "connected without TLS";
    } catch (const platform::Error& e) {
        EXPECT_TRUE(e.description().contains("SSL")) << qPrintable(e.description());
    }
    EXPECT_EQ(errorNumberOf([&] { c.open(db.connectionString() + ";sslrootcert='/a;b.pem'"); }), adoerr::InvalidArgument);
}

TEST_P(AdoEngine, NewRowsTakeTheLargestKeyPlusOneReadWithTheirInsert) {
    AdoRecordset rs;
    rs.openTable(c, "t");
    const QString largest = "SELECT MAX(id) AS maxUID FROM t";
    const auto add = [&](const QString& name, const QString& largestKeySql, qint64 lowest) {
        rs.addNew();
        rs.setValue("name", name);
        rs.setValue("flag", 0);
        return rs.updateUnderNextKey("id", largestKeySql, lowest);
    };
    EXPECT_EQ(add("first", largest, 1), 1);  // an empty table has no largest key
    EXPECT_EQ(add("second", largest, 1), 2);
    EXPECT_EQ(add("past a gap", largest, 10), 10);
    EXPECT_EQ(add("after it", largest, 1), 11);
    EXPECT_EQ(rs.value("id").toInt(), 11);
    EXPECT_EQ(rs.value("name").toString(), "after it");

    // A key another writer took is refused as such, and inside a transaction
    // the refusal leaves the transaction usable.
    {
        platform::TransactionGuard tx(c);
        EXPECT_EQ(errorNumberOf([&] { add("stale", "SELECT 1 AS maxUID", 1); }), adoerr::DuplicateKey);
        rs.cancelUpdate();
        EXPECT_EQ(add("stale, further on", "SELECT 1 AS maxUID", 12), 12);
        tx.commit();
    }
    AdoRecordset check;
    check.openQuery(c, "SELECT id, name FROM t ORDER BY id", {}, "t");
    QStringList stored;
    for (; !check.eof(); check.moveNext()) stored << QString("%1 %2").arg(check.value("id").toInt()).arg(check.value("name").toString());
    EXPECT_EQ(stored, (QStringList{"1 first", "2 second", "10 past a gap", "11 after it", "12 stale, further on"}));
}

// The marker holds while nothing is committed, and moves with every commit:
// this connection's own rows, another connection's rows and tables, a
// transaction that was open when the marker was taken, a reopened connection.
TEST_P(AdoEngine, TheChangeMarkerMovesWithEveryCommitAndOnlyThen) {
    AdoConnection other;
    other.open(db->connectionString());
    c.execute("INSERT INTO t (id, flag) VALUES (1, 0)");
    QString marker = c.changeMarker();
    ASSERT_FALSE(marker.isEmpty());
    c.query("SELECT * FROM t").finish();
    other.query("SELECT * FROM t").finish();
    EXPECT_EQ(c.changeMarker(), marker);

    const std::pair<const char*, std::function<void()>> commits[] = {
        {"own insert", [&] { c.execute("INSERT INTO t (id, flag) VALUES (2, 0)"); }},
        {"own update", [&] { c.execute("UPDATE t SET flag = 1 WHERE id = 2"); }},
        {"other's insert", [&] { other.execute("INSERT INTO t (id, flag) VALUES (3, 0)"); }},
        {"other's update", [&] { other.execute("UPDATE t SET name = 'x' WHERE id = 1"); }},
        {"other's delete", [&] { other.execute("DELETE FROM t WHERE id = 3"); }},
        {"other's table", [&] { other.execute("CREATE TABLE u (id INTEGER)"); }},
        {"own table dropped", [&] { c.execute("DROP TABLE u"); }},
        {"reopened", [&] { ASSERT_TRUE(c.reopen()); }},
    };
    for (const auto& [what, commit] : commits) {
        commit();
        const QString now = c.changeMarker();
        EXPECT_NE(now, marker) << what;
        EXPECT_EQ(c.changeMarker(), now) << what;
        marker = now;
    }

    // Rows written in a transaction that is still open when the marker is
    // taken are not read under it; their commit moves it.
    other.beginTrans();
    other.execute("UPDATE t SET flag = 5 WHERE id = 1");
    marker = c.changeMarker();
    QSqlQuery q = c.query("SELECT flag FROM t WHERE id = 1");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 0);
    q.finish();
    other.commitTrans();
    EXPECT_NE(c.changeMarker(), marker);

    // The server engine lets a second transaction write alongside: one begun
    // later that ends first leaves the earlier one to move the marker again.
    if (GetParam() == DbEngine::Postgres) {
        AdoConnection third;
        third.open(db->connectionString());
        other.beginTrans();
        other.execute("UPDATE t SET flag = 6 WHERE id = 1");
        third.execute("UPDATE t SET flag = 7 WHERE id = 2");
        marker = c.changeMarker();
        other.commitTrans();
        EXPECT_NE(c.changeMarker(), marker);
    }

    // Inside a transaction the marker says nothing.
    c.beginTrans();
    EXPECT_TRUE(c.changeMarker().isEmpty());
    c.rollbackTrans();
}

TAVREL_ON_BOTH_ENGINES(AdoEngine);

// The file engine's session lock lies in the shared program folder: it is the
// group's, a link in its place is replaced (never followed), and a lock file
// that nobody holds never keeps the next program out.
TEST(AdoSessionLockFile, GroupSharedNeverFollowedAndNeverBlockingOnceItsHolderIsGone) {
    QTemporaryDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 02770), 0);
    const QString database = dir.filePath("TaskDB.mdb");
    const QString lock = database + ".TavrelService LABPC.lock";
    const QString elsewhere = dir.filePath("elsewhere");
    testsupport::writeFile(database, "");  // an empty file is an empty database
    testsupport::writeFile(elsewhere, "keep");
    ASSERT_TRUE(QFile::link(elsewhere, lock));
    {
        AdoConnection c;
        c.open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + database);
        const mode_t saved = ::umask(022);
        ASSERT_TRUE(c.tryLockSession("TavrelService LABPC"));
        ::umask(saved);
        EXPECT_FALSE(QFileInfo(lock).isSymLink());
        EXPECT_EQ(testsupport::readFile(elsewhere), "keep");
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(lock).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0660u);

        AdoConnection other;
        other.open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + database);
        EXPECT_FALSE(other.tryLockSession("TavrelService LABPC"));
    }
    // Left private by an older program: taken over all the same (and shared).
    ASSERT_EQ(::chmod(QFile::encodeName(lock).constData(), 0600), 0);
    AdoConnection next;
    next.open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + database);
    EXPECT_TRUE(next.tryLockSession("TavrelService LABPC"));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(lock).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0660u);
}
