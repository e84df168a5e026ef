// A lock held for the life of a connection, so that only one program of a
// kind (one service per computer name, say) works a database at a time. The
// file engine's lock file lies in the shared program folder: it is the
// group's, never followed through a link, and one whose holder is gone never
// keeps the next program out.
#include "platform/AdoConnection.h"

#include "platform/AdoErrors.h"
#include "platform/Error.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
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

// In a folder its group shares (the program folder is 2770), the lock file is
// the group's too: every account of the group must open it next time.
void shareWithFolderGroup(int fd, const QByteArray& file) {
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(file)).absolutePath());
    struct stat dir {}, own {};
    if (::stat(folder.constData(), &dir) != 0 || ::fstat(fd, &own) != 0 || own.st_uid != ::geteuid()) return;
    if (!(dir.st_mode & S_IWGRP)) return;
    if (own.st_gid != dir.st_gid && ::fchown(fd, static_cast<uid_t>(-1), dir.st_gid) != 0) return;
    if ((own.st_mode & 0777) != 0660) ::fchmod(fd, 0660);
}

// True when some process holds a lock on the file the path names (whoever
// it is: the kernel's lock table lists every lock with its file's inode).
bool lockFileHeld(const QByteArray& file) {
    struct stat st {};
    if (::lstat(file.constData(), &st) != 0) return false;
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly)) return true;  // cannot tell: take it as held
    // Only the inode number is compared: a layered file system shows the
    // device of the layer below, and a stranger's lock of the same number
    // only makes us wait as if it were held.
    const QByteArray inode = ':' + QByteArray::number(quint64(st.st_ino));
    for (const QByteArray& line : locks.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        // "1: OFDLCK ADVISORY WRITE -1 08:01:1234 0 EOF"; a waiter's line holds "->".
        if (fields.size() >= 6 && fields[1] != "->" && fields[5].endsWith(inode)) return true;
    }
    return false;
}

// Puts a new, empty lock file of ours in the place of the path (a file or a
// link), atomically.
void replaceLockFile(const QString& path) {
    QByteArray temp = QFile::encodeName(path) + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        throw Error(adoerr::ConnectFailed, QStringLiteral("Cannot replace the lock file %1 that another account left: %2")
                                               .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    shareWithFolderGroup(fd, QFile::encodeName(path));
    ::close(fd);
    if (::rename(temp.constData(), QFile::encodeName(path).constData()) != 0) {
        const int error = errno;
        ::unlink(temp.constData());
        throw Error(adoerr::ConnectFailed, QStringLiteral("Cannot replace the lock file %1 that another account left: %2")
                                               .arg(path, QString::fromLocal8Bit(std::strerror(error))));
    }
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
    const QByteArray file = QFile::encodeName(path);
    // The file may be replaced between our open and our lock (below): a few
    // rounds settle who holds the file the name leads to.
    for (int round = 0; round < 5; ++round) {
        const int fd = ::open(file.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0660);
        if (fd < 0) {
            const int error = errno;
            // A lock file another account left private (it ran the service
            // once), or a link planted in its place: nobody holds it, so a
            // fresh one of ours takes its place; one that is held keeps us out.
            if ((error == EACCES || error == ELOOP) && !lockFileHeld(file)) {
                replaceLockFile(path);
                continue;
            }
            if (error == EACCES) return false;
            throw Error(adoerr::ConnectFailed, QStringLiteral("Cannot open the lock file %1: %2")
                                                   .arg(path, QString::fromLocal8Bit(std::strerror(error))));
        }
        shareWithFolderGroup(fd, file);
        // An open file description lock: it belongs to this descriptor alone and
        // goes with it, whoever else opens the file.
        struct flock whole {};
        whole.l_type = F_WRLCK;
        whole.l_whence = SEEK_SET;
        if (::fcntl(fd, F_OFD_SETLK, &whole) != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EAGAIN || error == EACCES) return false;
            throw Error(adoerr::ConnectFailed,
                        QStringLiteral("Cannot lock %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(error))));
        }
        struct stat held {}, named {};
        if (::fstat(fd, &held) == 0 && ::lstat(file.constData(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino) {
            sessionLockFd_ = fd;
            return true;
        }
        ::close(fd);  // replaced meanwhile: the lock of a file nobody finds is no lock
    }
    throw Error(adoerr::ConnectFailed, QStringLiteral("Cannot lock %1: it is replaced again and again").arg(path));
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
