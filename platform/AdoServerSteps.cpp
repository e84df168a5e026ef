// The server engine's side of the connection: how it is opened beside the
// calling thread and handed over once the server answered (the driver has no
// open that does not block), how each statement waits for its answer, and
// the bounds that make a silent server fail the step instead of holding it.
#include "platform/AdoConnection.h"

#include "platform/AdoErrors.h"
#include "platform/AdoInternal.h"
#include "platform/AdoStepWorker.h"
#include "platform/Error.h"
#include "platform/OleDbConnectionString.h"

#include <QSqlDriver>
#include <QSqlError>

#include <exception>
#include <mutex>

#include <fcntl.h>
#include <libpq-fe.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

// A silent server fails a step this long after its own time-out would have
// ended it: a live server always answers first, with its own error.
constexpr int kSilentMarginSeconds = 10;
// Closing sends a few last words to the server.
constexpr int kCloseSeconds = 5;

PGconn* pgConnection(const QSqlDatabase& db) {
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    // The driver names the type as declared or as the compiler spells it.
    if (!handle.isValid() || (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
        return nullptr;
    return *static_cast<PGconn* const*>(handle.constData());
}

}  // namespace

struct AdoConnection::ServerOpening {
    std::mutex mutex;
    QString name;     // the driver's connection, registered until taken or dropped
    QSqlDatabase db;  // released once taken
    QString address;  // "HOST:PORT"
    QString database;
    int connectSeconds = 0;  // libpq's own bound on the attempt
    int boundSeconds() const { return connectSeconds + kSilentMarginSeconds; }
    bool finished = false;
    bool opened = false;
    bool abandoned = false;
    QString error;

    // Closes and forgets the driver's connection.
    void drop() {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
};

void AdoConnection::openPostgres(const OleDbConnectionString& cs) {
    const std::shared_ptr<ServerOpening> opening = startServerOpen(cs);
    const AdoStepWorker::Outcome outcome = worker_->wait({opening->address, opening->boundSeconds() * 1000, {}});
    if (outcome != AdoStepWorker::Outcome::Done) {
        pendingOpen_ = opening;
        abandonServerOpen();
        const QString where = QStringLiteral("the PostgreSQL database %1 at %2").arg(opening->database, opening->address);
        if (outcome == AdoStepWorker::Outcome::Cancelled)
            throw Error(adoerr::OperationCancelled, QStringLiteral("The wait for %1 was cancelled").arg(where));
        throw Error(adoerr::Timeout,
                    QStringLiteral("Cannot connect to %1: no answer within %2 seconds").arg(where).arg(opening->boundSeconds()));
    }
    takeServerOpen(*opening);
}

std::shared_ptr<AdoConnection::ServerOpening> AdoConnection::startServerOpen(const OleDbConnectionString& cs) {
    QString host = cs.dataSource().trimmed();
    int port = 5432;
    const qsizetype colon = host.lastIndexOf(QLatin1Char(':'));
    if (colon > 0 && !host.endsWith(QLatin1Char(']'))) {
        bool ok = false;
        port = host.mid(colon + 1).toInt(&ok);
        if (!ok || port <= 0 || port > 65535)
            throw Error(adoerr::InvalidArgument, QStringLiteral("Invalid port in Data Source \"%1\"").arg(host));
        host = host.left(colon);
    }
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'))) host = host.mid(1, host.size() - 2);
    if (host.isEmpty()) host = QStringLiteral("127.0.0.1");
    const QString options = postgresOptions(cs);

    auto opening = std::make_shared<ServerOpening>();
    // A name of its own: an attempt given up on keeps its name until it ends.
    opening->name = newConnectionName();
    opening->address = (host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host) +
                       QLatin1Char(':') + QString::number(port);
    opening->database = cs.value(QStringLiteral("Initial Catalog"));
    opening->connectSeconds = connectTimeoutOf(cs);
    opening->db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), opening->name);
    opening->db.setHostName(host);
    opening->db.setPort(port);
    opening->db.setDatabaseName(opening->database);
    opening->db.setUserName(cs.value(QStringLiteral("User ID")));
    opening->db.setPassword(cs.value(QStringLiteral("Password")));
    opening->db.setConnectOptions(options);
    name_ = opening->name;
    worker_ = std::make_unique<AdoStepWorker>();
    worker_->start([opening] {
        const bool opened = opening->db.open();
        const std::lock_guard lock(opening->mutex);
        opening->finished = true;
        opening->opened = opened;
        if (!opened) opening->error = opening->db.lastError().databaseText().trimmed();
        // Nobody waits for it any more.
        if (opening->abandoned) opening->drop();
    });
    return opening;
}

void AdoConnection::takeServerOpen(ServerOpening& opening) {
    pendingOpen_.reset();
    const std::lock_guard lock(opening.mutex);
    Q_ASSERT(opening.finished);
    const PGconn* pg = opening.opened ? pgConnection(opening.db) : nullptr;
    const int socket = pg ? ::fcntl(PQsocket(pg), F_DUPFD_CLOEXEC, 0) : -1;
    if (socket < 0) {
        QString error = opening.opened ? QStringLiteral("the connection has no socket") : opening.error;
        // libpq's own bound on an attempt the server never answered.
        const bool silent = error.contains(QStringLiteral("timeout expired"));
        if (silent)
            error = QStringLiteral("no answer within %1 seconds").arg(opening.connectSeconds);
        opening.drop();
        worker_.reset();
        throw Error(silent ? adoerr::Timeout : adoerr::ConnectFailed,
                    QStringLiteral("Cannot connect to the PostgreSQL database %1 at %2: %3")
                        .arg(opening.database, opening.address, error));
    }
    opening.db = QSqlDatabase();
    socketCopy_ = socket;
    serverAddress_ = opening.address;
    serverDatabase_ = opening.database;
    engine_ = Engine::Postgres;
    statementTimeout_ = -1;
}

void AdoConnection::abandonServerOpen() {
    const std::shared_ptr<ServerOpening> opening = std::exchange(pendingOpen_, nullptr);
    if (!opening) return;
    const std::lock_guard lock(opening->mutex);
    if (opening->finished) {
        opening->drop();
    } else {
        opening->abandoned = true;  // its step drops it when the server answers at last
        worker_->abandon();
    }
    worker_.reset();
}

AdoConnection::Reopening AdoConnection::reopenWithoutWaiting(QString* failure) {
    if (!pendingOpen_) {
        const QString connectionString = reopenConnectionString_;
        const QString lockName = reopenLockName_;
        if (connectionString.isEmpty()) throw closedError();
        const auto cs = OleDbConnectionString::parse(connectionString);
        if (!isPostgresProvider(cs.provider())) {
            // A file opens at once.
            try {
                return reopen() ? Reopening::Opened : Reopening::LockTaken;
            } catch (const Error& e) {
                if (failure) *failure = e.description();
                return Reopening::Failed;
            }
        }
        // The lost connection goes first; what reopens it stays.
        close();
        reopenConnectionString_ = connectionString;
        reopenLockName_ = lockName;
        try {
            pendingOpen_ = startServerOpen(cs);
        } catch (const Error& e) {
            if (failure) *failure = e.description();
            return Reopening::Failed;
        }
    }
    {
        const std::lock_guard lock(pendingOpen_->mutex);
        if (!pendingOpen_->finished) return Reopening::Pending;
    }
    const QString connectionString = reopenConnectionString_;
    const QString lockName = reopenLockName_;
    try {
        takeServerOpen(*std::exchange(pendingOpen_, nullptr));
    } catch (const Error& e) {
        if (failure) *failure = e.description();
        return Reopening::Failed;
    }
    connectionString_ = connectionString;
    ++openings_;  // a new session, as open() makes
    if (!lockName.isEmpty() && !tryLockSession(lockName)) {
        close();
        reopenConnectionString_ = connectionString;
        reopenLockName_ = lockName;
        return Reopening::LockTaken;
    }
    return Reopening::Opened;
}

void AdoConnection::closeServer() {
    QSqlDatabase db = QSqlDatabase::database(name_, false);
    try {
        step(kCloseSeconds, [&] {
            prepared_.clear();  // before the driver goes: a prepared statement is released through it
            if (inTransaction_) db.rollback();
            db.close();
            return true;
        });
    } catch (const Error&) {
        // A silent server: the step was interrupted, and ended all the same.
    }
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(name_);
    worker_.reset();
    if (socketCopy_ >= 0) ::close(socketCopy_);
    socketCopy_ = -1;
    serverAddress_.clear();
    serverDatabase_.clear();
}

bool AdoConnection::step(int timeoutSeconds, const std::function<bool()>& call) {
    if (engine_ != Engine::Postgres || !worker_) return call();
    if (stepping_) throw stillWaitingError();
    stepping_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{stepping_};
    const int seconds = (timeoutSeconds > 0 ? timeoutSeconds : kLongestStatementSeconds) + kSilentMarginSeconds;
    bool ok = false;
    std::exception_ptr thrown;
    const int socket = socketCopy_;
    const AdoStepWorker::Outcome outcome = worker_->run(
        [&] {
            try {
                ok = call();
            } catch (...) {
                thrown = std::current_exception();
            }
        },
        {serverAddress_, seconds * 1000, [socket] { ::shutdown(socket, SHUT_RDWR); }});
    if (outcome != AdoStepWorker::Outcome::Done) throw silentServerError(outcome == AdoStepWorker::Outcome::Cancelled, seconds);
    if (thrown) std::rethrow_exception(thrown);
    return ok;
}

Error AdoConnection::lostServerError() const {
    return Error(adoerr::ErrorsInCommand, QStringLiteral("The connection to the PostgreSQL database %1 at %2 is lost")
                                              .arg(serverDatabase_, serverAddress_));
}

Error AdoConnection::stillWaitingError() const {
    // The events a waiting window serves must not reach the connection that waits.
    return Error(adoerr::ErrorsInCommand,
                 QStringLiteral("The PostgreSQL database %1 at %2 has not yet answered the statement before")
                     .arg(serverDatabase_, serverAddress_));
}

Error AdoConnection::silentServerError(bool cancelled, int seconds) const {
    const QString where = QStringLiteral("the PostgreSQL database %1 at %2").arg(serverDatabase_, serverAddress_);
    // The shut socket has ended the connection: the next use says it is lost.
    if (cancelled)
        return Error(adoerr::OperationCancelled,
                     QStringLiteral("The wait for %1 was cancelled; the connection is closed").arg(where));
    return Error(adoerr::Timeout,
                 QStringLiteral("No answer from %1 within %2 seconds; the connection is closed").arg(where).arg(seconds));
}

}  // namespace platform
