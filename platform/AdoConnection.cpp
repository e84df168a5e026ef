#include "platform/AdoConnection.h"

#include "platform/AdoErrors.h"
#include "platform/AdoInternal.h"
#include "platform/AdoStepWorker.h"
#include "platform/Error.h"
#include "platform/OleDbConnectionString.h"
#include "platform/SharedFile.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlRecord>

namespace platform {

namespace {

QAtomicInt connectionCounter;

// The database engine waits this long for another writer before it gives up.
constexpr int kBusyTimeoutMs = 15000;

Error unknownProvider(const QString& provider) {
    return Error(adoerr::ProviderNotFound,
                 provider.isEmpty()
                     ? QStringLiteral("The connection string names no provider")
                     : QStringLiteral("Provider cannot be found: \"%1\" is not a known database provider "
                                      "(use Microsoft.Jet.OLEDB.4.0 or PostgreSQL)")
                           .arg(provider));
}

}  // namespace

QString newConnectionName() { return QStringLiteral("tavrel-ado-%1").arg(connectionCounter.fetchAndAddRelaxed(1)); }

AdoConnection::AdoConnection() : name_(newConnectionName()) {}

AdoConnection::~AdoConnection() {
    // A program-wide connection still open when the program object is gone is
    // past Qt Sql's own shut-down; the process ends and the engine keeps what
    // was committed.
    if (QCoreApplication::instance()) close();
}

QSqlDatabase AdoConnection::database() const {
    if (!isOpen()) throw closedError();
    return QSqlDatabase::database(name_, false);
}

QSqlDatabase AdoConnection::liveDatabase() const {
    QSqlDatabase db = database();
    // The server's driver closes itself when its connection dies.
    if (engine_ == Engine::Postgres && !db.isOpen()) throw lostServerError();
    return db;
}

void AdoConnection::createDatabase(const QString& connectionString) {
    const auto cs = OleDbConnectionString::parse(connectionString);
    if (!isFileProvider(cs.provider())) throw unknownProvider(cs.provider());
    const QString file = cs.dataSource();
    if (file.isEmpty()) throw Error(adoerr::InvalidArgument, QStringLiteral("The connection string names no file"));
    if (QFileInfo::exists(file))
        throw Error(adoerr::ConnectFailed, QStringLiteral("Database already exists: '%1'.").arg(file));
    QFile f(file);
    // An empty file is an empty SQLite database.
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw Error(adoerr::ConnectFailed, QStringLiteral("Cannot create '%1': %2").arg(file, f.errorString()));
    // The service and the clients of the program folder's group share it, nobody
    // else; the engine gives its journal files the same mode.
    shareWithFolderGroup(f.handle(), QFileInfo(file).absolutePath(), FileReaders::OwnerAndGroup);
}

void AdoConnection::open(const QString& connectionString) {
    if (stepping_) throw stillWaitingError();
    close();
    // A name of its own each time: a server's attempt that was given up on
    // keeps its name until it ends.
    name_ = newConnectionName();
    reopenConnectionString_ = connectionString;
    const auto cs = OleDbConnectionString::parse(connectionString);
    if (isFileProvider(cs.provider())) {
        const QString mode = cs.value(QStringLiteral("Mode")).trimmed();
        openSqlite(cs.dataSource(), mode.compare(QStringLiteral("Read"), Qt::CaseInsensitive) == 0);
    } else if (isPostgresProvider(cs.provider())) {
        openPostgres(cs);
    } else {
        throw unknownProvider(cs.provider());
    }
    connectionString_ = connectionString;
    ++openings_;
}

void AdoConnection::openSqlite(const QString& file, bool readOnly) {
    if (file.isEmpty()) throw Error(adoerr::InvalidArgument, QStringLiteral("The connection string names no file"));
    // Like the file provider, opening never makes a database by accident.
    if (!QFileInfo(file).isFile())
        throw Error(adoerr::ConnectFailed, QStringLiteral("Could not find file '%1'.").arg(file));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db.setDatabaseName(file);
        QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs);
        if (readOnly) options += QStringLiteral(";QSQLITE_OPEN_READONLY");
        db.setConnectOptions(options);
        if (!db.open()) {
            const QString text = db.lastError().text();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name_);
            throw Error(adoerr::ConnectFailed, QStringLiteral("Cannot open '%1': %2").arg(file, text));
        }
    }
    engine_ = Engine::Sqlite;
    sqliteFile_ = file;
    try {
        if (!readOnly) query(QStringLiteral("PRAGMA journal_mode=WAL"));
        execute(QStringLiteral("PRAGMA foreign_keys=OFF"));
        // A file that is not a database shows here, not at the first real use.
        query(QStringLiteral("SELECT COUNT(*) FROM sqlite_master"));
    } catch (const Error&) {
        close();
        throw;
    }
}

QString AdoConnection::target() const {
    switch (engine_) {
    case Engine::Sqlite: return sqliteFile_;
    case Engine::Postgres: return QStringLiteral("database %1 on %2").arg(serverDatabase_, serverAddress_);
    case Engine::None: break;
    }
    return QString();
}

void AdoConnection::close() {
    // Asked by an event that a waiting step serves: the step's owner goes on with it.
    if (stepping_) return;
    releaseSessionLock();
    reopenConnectionString_.clear();
    reopenLockName_.clear();
    abandonServerOpen();
    if (engine_ == Engine::None) return;
    if (engine_ == Engine::Postgres) {
        closeServer();
    } else {
        prepared_.clear();  // before the driver goes: a prepared statement is released through it
        {
            QSqlDatabase db = QSqlDatabase::database(name_, false);
            if (inTransaction_) db.rollback();
            db.close();
        }
        QSqlDatabase::removeDatabase(name_);
    }
    engine_ = Engine::None;
    inTransaction_ = false;
    connectionString_.clear();
    sqliteFile_.clear();
}

bool AdoConnection::reopen() {
    const QString connectionString = reopenConnectionString_;
    const QString lockName = reopenLockName_;
    if (connectionString.isEmpty()) throw closedError();
    // A failed attempt leaves both for the next one.
    struct Keep {
        AdoConnection& c;
        const QString& connectionString;
        const QString& lockName;
        ~Keep() {
            c.reopenConnectionString_ = connectionString;
            c.reopenLockName_ = lockName;
        }
    } keep{*this, connectionString, lockName};
    open(connectionString);
    if (!lockName.isEmpty() && !tryLockSession(lockName)) {
        close();
        return false;
    }
    return true;
}

QString AdoConnection::changeMarker() {
    if (!isOpen()) throw closedError();
    if (inTransaction_) return QString();
    // SQLite: data_version moves with every commit of another connection,
    // total_changes() with this connection's own rows and schema_version with
    // a table made or dropped by anyone. PostgreSQL: the snapshot moves with
    // every transaction that wrote and has ended since (one that is still
    // open at both times holds its rows back from both readers alike).
    const QString sql = engine_ == Engine::Sqlite
                            ? QStringLiteral("SELECT d.data_version, s.schema_version, total_changes() "
                                             "FROM pragma_data_version AS d, pragma_schema_version AS s")
                            : QStringLiteral("SELECT txid_current_snapshot()::text");
    QSqlQuery q = query(sql, {}, 15);
    if (!q.next()) return QString();
    QString marker = QString::number(openings_);
    for (int i = 0; i < q.record().count(); ++i) marker += QLatin1Char(':') + q.value(i).toString();
    return marker;
}

bool AdoConnection::ping() {
    if (!isOpen()) return false;
    if (stepping_) return true;  // asked from inside a wait: it is busy, not gone
    try {
        query(QStringLiteral("SELECT 1"), {}, 15).finish();
        return true;
    } catch (const Error&) {
        return false;
    }
}

void AdoConnection::setStatementTimeout(int seconds) {
    // Only the server engine can stop a statement; the file engine's waits are
    // bounded by its busy time-out.
    if (engine_ != Engine::Postgres || seconds == statementTimeout_) return;
    QSqlQuery q(liveDatabase());
    const QString sql = QStringLiteral("SET statement_timeout = %1").arg(qMax(0, seconds) * 1000);
    if (!step(seconds, [&] { return q.exec(sql); })) throw mapError(q.lastError());
    statementTimeout_ = seconds;
}

QSqlQuery AdoConnection::query(const QString& sql, const QVariantList& params, int timeoutSeconds) {
    QSqlQuery q(liveDatabase());
    setForwardOnly(q);
    setStatementTimeout(timeoutSeconds);
    if (params.isEmpty()) {
        if (!step(timeoutSeconds, [&] { return q.exec(sql); })) throw mapError(q.lastError());
        return q;
    }
    QVariantList values;
    values.reserve(params.size());
    for (const QVariant& p : params) values << toDatabase(p);
    const bool ok = step(timeoutSeconds, [&] {
        if (!q.prepare(sql)) return false;
        for (const QVariant& v : values) q.addBindValue(v);
        return q.exec();
    });
    if (!ok) throw mapError(q.lastError());
    return q;
}

void AdoConnection::setForwardOnly(QSqlQuery& q) const {
    // A server's rows all come with its answer, so reading them never waits
    // for the server again (the driver would fetch forward-only rows one by one).
    q.setForwardOnly(engine_ != Engine::Postgres);
}

QSqlQuery& AdoConnection::prepared(const QString& sql, const QVariantList& params, int timeoutSeconds) {
    // A few texts per table are run this way; a caller that made many more
    // would only cost their preparing again.
    constexpr qsizetype kKept = 32;
    auto it = prepared_.find(sql);
    if (it == prepared_.end()) {
        // Releasing them is a word to the server too.
        if (prepared_.size() >= kKept)
            step(timeoutSeconds, [this] {
                prepared_.clear();
                return true;
            });
        QSqlQuery q(liveDatabase());
        setForwardOnly(q);
        if (!step(timeoutSeconds, [&] { return q.prepare(sql); })) throw mapError(q.lastError());
        it = prepared_.insert(sql, q);
    }
    setStatementTimeout(timeoutSeconds);
    for (qsizetype i = 0; i < params.size(); ++i) it->bindValue(int(i), toDatabase(params[i]));
    return *it;
}

int AdoConnection::executePrepared(const QString& sql, const QVariantList& params, int timeoutSeconds) {
    QSqlQuery& q = prepared(sql, params, timeoutSeconds);
    const bool ok = step(timeoutSeconds, [&] { return q.exec(); });
    const int affected = ok ? q.numRowsAffected() : 0;
    const QSqlError error = q.lastError();
    q.finish();  // the statement stays prepared; SQLite releases what it holds
    if (!ok) throw mapError(error);
    return affected;
}

QVariant AdoConnection::scalarPrepared(const QString& sql, const QVariantList& params, int timeoutSeconds) {
    QSqlQuery& q = prepared(sql, params, timeoutSeconds);
    if (!step(timeoutSeconds, [&] { return q.exec(); })) {
        const QSqlError error = q.lastError();
        q.finish();
        throw mapError(error);
    }
    const QVariant value = q.next() ? fromDatabase(q.value(0)) : QVariant();
    q.finish();
    return value;
}

int AdoConnection::execute(const QString& sql, const QVariantList& params, int timeoutSeconds) {
    QSqlQuery q = query(sql, params, timeoutSeconds);
    const int affected = q.numRowsAffected();
    q.finish();
    return affected;
}

void AdoConnection::beginTrans() {
    if (inTransaction_) throw Error(adoerr::ErrorsInCommand, QStringLiteral("A transaction is already running"));
    execute(engine_ == Engine::Sqlite ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"));
    inTransaction_ = true;
}

void AdoConnection::commitTrans() {
    if (!inTransaction_) throw Error(adoerr::ErrorsInCommand, QStringLiteral("No transaction is running"));
    execute(QStringLiteral("COMMIT"));
    inTransaction_ = false;
}

void AdoConnection::rollbackTrans() {
    if (!inTransaction_) return;
    inTransaction_ = false;
    // Under the time-out in force: setting another one first would meet a
    // transaction that a failed statement spoilt, and the rollback would not
    // happen at all.
    execute(QStringLiteral("ROLLBACK"), {}, statementTimeout_ < 0 ? 30 : statementTimeout_);
    // A time-out set inside the transaction went with it.
    statementTimeout_ = -1;
}

StatementSavepoint::StatementSavepoint(AdoConnection& connection, int timeoutSeconds)
    : connection_(connection), timeout_(timeoutSeconds) {
    if (!connection_.inTransaction() || connection_.engine() != AdoConnection::Engine::Postgres) return;
    connection_.execute(QStringLiteral("SAVEPOINT tavrel_row"), {}, timeout_);
    active_ = true;
}

StatementSavepoint::~StatementSavepoint() {
    if (!active_) return;
    try {
        connection_.execute(QStringLiteral("ROLLBACK TO SAVEPOINT tavrel_row"), {}, timeout_);
    } catch (const Error&) {
        // The connection is gone; the transaction went with it.
    }
}

void StatementSavepoint::release() {
    if (!active_) return;
    active_ = false;
    connection_.execute(QStringLiteral("RELEASE SAVEPOINT tavrel_row"), {}, timeout_);
}

TransactionGuard::TransactionGuard(AdoConnection& connection) : connection_(connection) {
    if (!connection_.inTransaction()) {
        connection_.beginTrans();
        owner_ = true;
        held_.emplace();
    }
}

TransactionGuard::~TransactionGuard() {
    if (!owner_) return;
    try {
        connection_.rollbackTrans();
    } catch (const Error&) {
        // The connection is gone; the server drops the transaction with it.
    }
}

void TransactionGuard::commit() {
    if (!owner_) return;
    connection_.commitTrans();  // a failed commit is rolled back by the destructor
    owner_ = false;
    held_.reset();
}

}  // namespace platform
