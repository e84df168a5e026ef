// A lock held for the life of a connection, so that only one program of a
// kind (one service per computer name, say) works a database at a time.
#include "platform/AdoConnection.h"

#include "platform/AdoErrors.h"
#include "platform/Error.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

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
    const QString path = lockFilePath(sqliteFile_, name);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        throw Error(adoerr::ConnectFailed,
                    QStringLiteral("Cannot open the lock file %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    // An open file description lock: it belongs to this descriptor alone and
    // goes with it, whoever else opens the file.
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &whole) == 0) {
        sessionLockFd_ = fd;
        return true;
    }
    const int error = errno;
    ::close(fd);
    if (error == EAGAIN || error == EACCES) return false;
    throw Error(adoerr::ConnectFailed,
                QStringLiteral("Cannot lock %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(error))));
}

void AdoConnection::releaseSessionLock() {
    if (sessionLockName_.isEmpty()) return;
    if (sessionLockFd_ >= 0) {
        ::close(sessionLockFd_);
        sessionLockFd_ = -1;
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
