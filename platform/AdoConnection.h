#pragma once
// The task database connection: one open database reached through an OLE DB
// connection string. "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=FILE" is an
// SQLite file; "Provider=PostgreSQL;Data Source=HOST[:PORT];Initial Catalog=DB;
// User ID=U;Password=P" a shared PostgreSQL database, with libpq's own keys a
// site needs passed on (sslmode, sslrootcert, sslcert, sslkey, ...). Every
// failure is thrown as platform::Error with one of the numbers of AdoErrors.h.
//
// A server connection is opened, and each of its statements run, on a thread
// of the connection's own while the calling thread waits as its
// DatabaseWaitPolicy says (DatabaseWait.h): the window's thread keeps
// painting and may cancel. A server that goes silent fails the step within a
// bound (the statement's time-out and a margin; TCP keep-alives and a
// time-out on unacknowledged data while the connection is idle or sending),
// with the host, port and database named.
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include "platform/KernelLockFile.h"
#include "platform/MessageBox.h"

#include <functional>
#include <memory>
#include <optional>

namespace platform {

class AdoStepWorker;
class Error;

class AdoConnection {
public:
    enum class Engine { None, Sqlite, Postgres };

    struct Column {
        QString name;          // as the engine keeps it (PostgreSQL: lower case)
        QString declaredType;  // "INTEGER", "TEXT(255)", "character varying(255)" ...
        bool nullable = true;
    };

    AdoConnection();
    ~AdoConnection();  // closes; programs close their global connection before the application object ends
    AdoConnection(const AdoConnection&) = delete;
    AdoConnection& operator=(const AdoConnection&) = delete;

    void open(const QString& connectionString);
    void close();
    // Opens the same connection string again (after the server restarted,
    // say) and takes the session lock again when one was held. False, with
    // the connection closed, when another connection took that lock
    // meanwhile; a connection that cannot be made throws as open does.
    bool reopen();
    // Opens the same connection string again as reopen() does, without
    // waiting: the first call starts the attempt beside the calling thread,
    // later ones answer how it went (Pending until the server has answered).
    // The connection stays closed meanwhile; `failure` gets the reason of
    // a Failed attempt.
    enum class Reopening { Pending, Opened, LockTaken, Failed };
    Reopening reopenWithoutWaiting(QString* failure = nullptr);
    bool reopenPending() const { return static_cast<bool>(pendingOpen_); }
    // A cheap round trip; false when the engine cannot be reached any more.
    bool ping();
    // A short text that stays the same only while nothing has been committed
    // to the database since it was taken, by this connection or any other,
    // and the connection has not been opened again: what a reader read after
    // taking it is still what the database holds while the text stays the
    // same. It asks the engine, not the tables, so it needs nothing of the
    // writers (no trigger, no column). It may change without a change of
    // the tables (another database of the same server, a transaction rolled
    // back), never the other way round. Empty inside a transaction, where
    // the engine cannot tell: then every reader reads again.
    QString changeMarker();

    // Takes a lock named `name` for as long as this connection stays open:
    // on PostgreSQL a session-level advisory lock, which the server releases
    // when the connection dies; on SQLite a lock on a file beside the
    // database, which the system releases when the process ends. Waits up to
    // `waitMs` for a holder that is just going away; false when another
    // connection holds it still. A connection holds one such lock at most.
    bool tryLockSession(const QString& name, int waitMs = 0);
    const QString& sessionLockName() const { return sessionLockName_; }
    bool isOpen() const { return engine_ != Engine::None; }
    Engine engine() const { return engine_; }
    const QString& connectionString() const { return connectionString_; }
    // What the open connection reaches, for messages: the database file, or
    // "database DB on HOST:PORT"; never a password. Empty while closed.
    QString target() const;
    QSqlDatabase database() const;

    // Makes the empty database a file connection string names; an existing file
    // is refused. Other providers are refused too (their databases are made by
    // their administrators).
    static void createDatabase(const QString& connectionString);

    // A statement without result rows; answers the number of rows it touched.
    int execute(const QString& sql, const QVariantList& params = {}, int timeoutSeconds = 30);
    // A statement with result rows, positioned before the first one.
    QSqlQuery query(const QString& sql, const QVariantList& params = {}, int timeoutSeconds = 30);
    // The same as execute for a statement run again and again with other
    // values (a recordset's insert): it is prepared once and kept until the
    // connection closes, so a run costs the server one round trip.
    int executePrepared(const QString& sql, const QVariantList& params, int timeoutSeconds = 30);
    // The first field of the first row of a statement kept prepared in the
    // same way; Null when there is no row.
    QVariant scalarPrepared(const QString& sql, const QVariantList& params, int timeoutSeconds = 30);

    // One transaction at a time; SQLite takes the write lock at once so that two
    // writers never deadlock half-way.
    void beginTrans();
    void commitTrans();
    void rollbackTrans();
    bool inTransaction() const { return inTransaction_; }

    bool tableExists(const QString& table);
    QList<Column> columns(const QString& table);  // in table order; TableNotFound when missing
    QString primaryKeyColumn(const QString& table);  // empty when the table has none

    // The engine's error as one of our numbers, with the engine's own text.
    Error mapError(const QSqlError& error) const;

    // Values as the database keeps them: local date-times, flags as 0 / 1.
    QVariant toDatabase(const QVariant& value) const;
    QVariant fromDatabase(const QVariant& value) const;

private:
    struct ServerOpening;
    void openSqlite(const QString& file, bool readOnly);
    void openPostgres(const class OleDbConnectionString& cs);
    std::shared_ptr<ServerOpening> startServerOpen(const class OleDbConnectionString& cs);
    void takeServerOpen(ServerOpening& opening);
    void abandonServerOpen();
    void closeServer();
    // One call of the engine that may wait for its server: on PostgreSQL it
    // runs on the connection's thread within the bound of `timeoutSeconds`.
    bool step(int timeoutSeconds, const std::function<bool()>& call);
    Error silentServerError(bool cancelled, int seconds) const;
    Error stillWaitingError() const;
    Error lostServerError() const;
    void setStatementTimeout(int seconds);
    void setForwardOnly(QSqlQuery& q) const;
    QSqlDatabase liveDatabase() const;  // database(), or the error of a lost server
    bool takeSessionLock(const QString& name);
    void releaseSessionLock();
    QSqlQuery& prepared(const QString& sql, const QVariantList& params, int timeoutSeconds);

    QString name_;
    QString connectionString_;
    Engine engine_ = Engine::None;
    bool inTransaction_ = false;
    int statementTimeout_ = -1;
    QString sqliteFile_;       // the database file of the file engine
    QString sessionLockName_;  // empty: no session lock held
    KernelLockFile sessionLockFile_;  // the file engine's lock
    // What reopen opens and locks again; kept through failed attempts and
    // forgotten by close().
    QString reopenConnectionString_;
    QString reopenLockName_;
    QHash<QString, QSqlQuery> prepared_;  // by statement text
    // The server engine: what its waits and messages name, the thread its
    // steps run on, and a copy of its socket that a step's interrupt shuts.
    QString serverAddress_;  // "HOST:PORT"
    QString serverDatabase_;
    std::unique_ptr<AdoStepWorker> worker_;
    int socketCopy_ = -1;
    bool stepping_ = false;
    std::shared_ptr<ServerOpening> pendingOpen_;  // reopenWithoutWaiting's attempt
    quint64 openings_ = 0;                 // each open is a new session: earlier markers do not hold
};

// A failed statement spoils a whole PostgreSQL transaction. Inside one, a
// statement run between this guard's making and release() that fails (a
// taken key, say) is undone alone when the guard goes, leaving the rest of
// the transaction usable, as on SQLite. Outside a transaction, and on
// SQLite, the guard does nothing.
class StatementSavepoint {
public:
    // The savepoint's own statements run under the time-out of the statement
    // they guard: a change of time-out is a statement too, and one made after
    // the failure would meet the spoilt transaction instead of rolling back.
    StatementSavepoint(AdoConnection& connection, int timeoutSeconds);
    ~StatementSavepoint();
    StatementSavepoint(const StatementSavepoint&) = delete;
    StatementSavepoint& operator=(const StatementSavepoint&) = delete;
    void release();  // the statement went through

private:
    AdoConnection& connection_;
    int timeout_;
    bool active_ = false;
};

// Begins a transaction unless one is already running; rolls it back when it
// goes out of scope without commit(). The boxes shown meanwhile wait until the
// transaction has ended, so no one else's writes wait on a user.
class TransactionGuard {
public:
    explicit TransactionGuard(AdoConnection& connection);
    ~TransactionGuard();
    TransactionGuard(const TransactionGuard&) = delete;
    TransactionGuard& operator=(const TransactionGuard&) = delete;
    void commit();

private:
    AdoConnection& connection_;
    bool owner_ = false;
    std::optional<HeldMessageBoxes> held_;  // destroyed after the rollback
};

}  // namespace platform
