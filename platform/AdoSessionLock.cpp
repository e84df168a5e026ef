// A lock held for the life of a connection, so that only one program of a
// kind (one service per computer name, say) works a database at a time. The
// file engine's lock is a kernel lock on a file in the shared program folder
// (see KernelLockFile); the server's an advisory lock of the session.
#include "platform/AdoConnection.h"

#include "platform/AdoErrors.h"
#include "platform/Error.h"

#include <QDeadlineTimer>
#include <QThread>
#include <QUrl>

namespace platform {

namespace {

// The first key of every advisory lock these programs take, so that they
// never meet another application's locks on a shared database server.
constexpr qint32 kAdvisoryLockClass = 0x54565253;

// "<database file>.<name>.lock", the name made safe for a file name.
QString lockFilePath(const QString& databaseFile, const QString& name) {
    return databaseFile + QLatin1Char('.') + QString::fromLatin1(QUrl::toPercentEncoding(name, " ")) +
           QStringLiteral(".lock");
}

}  // namespace

bool AdoConnection::tryLockSession(const QString& name, int waitMs) {
    if (!isOpen()) throw Error(adoerr::ObjectClosed, QStringLiteral("Operation is not allowed when the object is closed."));
    if (name.isEmpty()) throw Error(adoerr::InvalidArgument, QStringLiteral("A session lock needs a name"));
    if (sessionLockName_ == name) return true;
    if (!sessionLockName_.isEmpty())
        throw Error(adoerr::InvalidArgument,
                    QStringLiteral("The connection holds the lock \"%1\" already").arg(sessionLockName_));
    // A holder that was killed a moment ago may still be going away (its
    // server connection ends a little after the process).
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        if (takeSessionLock(name)) {
            sessionLockName_ = name;
            reopenLockName_ = name;
            return true;
        }
        if (deadline.hasExpired()) return false;
        QThread::msleep(100);
    }
}

bool AdoConnection::takeSessionLock(const QString& name) {
    if (engine_ == Engine::Postgres) {
        QSqlQuery q = query(QStringLiteral("SELECT pg_try_advisory_lock(?, hashtext(?))"), {kAdvisoryLockClass, name}, 15);
        const bool taken = q.next() && q.value(0).toBool();
        q.finish();
        return taken;
    }
    switch (sessionLockFile_.tryLock(lockFilePath(sqliteFile_, name))) {
        case KernelLockFile::Outcome::Taken: return true;
        case KernelLockFile::Outcome::Held: return false;
        case KernelLockFile::Outcome::Refused: break;
    }
    throw Error(adoerr::ConnectFailed, sessionLockFile_.problem());
}

void AdoConnection::releaseSessionLock() {
    if (sessionLockName_.isEmpty()) return;
    if (sessionLockFile_.isLocked()) {
        sessionLockFile_.unlock();
    } else if (engine_ == Engine::Postgres) {
        try {
            query(QStringLiteral("SELECT pg_advisory_unlock(?, hashtext(?))"), {kAdvisoryLockClass, sessionLockName_}, 15)
                .finish();
        } catch (const Error&) {
            // The connection is gone, and the server has dropped the lock with it.
        }
    }
    sessionLockName_.clear();
}

}  // namespace platform
