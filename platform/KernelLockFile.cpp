#include "platform/KernelLockFile.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// A note is a line or two; whatever else the file holds is not read.
constexpr qint64 kNoteLimit = 256;
// The name may be replaced between our open and our lock: a few rounds
// settle who holds the file the name leads to.
constexpr int kRounds = 5;
constexpr int kRetryMs = 50;

QString systemText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Puts a new, empty lock file of ours in the place of the path (a file, a
// link or a fifo), atomically. 0 or the errno that stopped it.
int replaceLockFile(const QString& path, FileReaders readers) {
    QByteArray temp = QFile::encodeName(path) + ".XXXXXX";
    UniqueFd fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (!fd) return errno;
    shareWithFolderGroup(fd.get(), QFileInfo(path).absolutePath(), readers);
    fd.reset();
    if (::rename(temp.constData(), QFile::encodeName(path).constData()) == 0) return 0;
    const int error = errno;
    ::unlink(temp.constData());
    return error;
}

bool sameFile(int fd, const QByteArray& path) {
    struct stat held {}, named {};
    return ::fstat(fd, &held) == 0 && ::lstat(path.constData(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

}  // namespace

bool KernelLockFile::isHeld(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return false;
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

KernelLockFile::Outcome KernelLockFile::refuse(const QString& problem) {
    problem_ = problem;
    return Outcome::Refused;
}

KernelLockFile::Outcome KernelLockFile::tryLock(const QString& path, FileReaders readers) {
    unlock();
    problem_.clear();
    const QByteArray name = QFile::encodeName(path);
    for (int round = 0; round < kRounds; ++round) {
        UniqueFd fd(::open(name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0660));
        int error = fd ? 0 : errno;
        struct stat st {};
        if (fd && (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))) {
            fd.reset();
            error = S_ISFIFO(st.st_mode) ? ENXIO : kNotRegularFile;  // a fifo goes; a device is nobody's to replace
        }
        if (error == EISDIR) {
            // A folder in its place: an empty one goes, one with files in it
            // is somebody's to look at.
            if (::rmdir(name.constData()) == 0 || errno == ENOENT) continue;
            return refuse(QStringLiteral("%1 is a folder, not a lock file: remove it (rm -r \"%1\") and start again")
                              .arg(path));
        }
        struct stat there {};
        const bool present = error && ::lstat(name.constData(), &there) == 0;  // else the folder refused to make it
        if (present && (error == EACCES || error == ELOOP ||
                        (error == ENXIO && (S_ISFIFO(there.st_mode) || S_ISSOCK(there.st_mode))))) {
            // Another account's private file (an older program left it), a
            // link, or a fifo: nobody holds it, so a fresh one of ours takes
            // its place; one that is held keeps us out.
            if (error == EACCES && isHeld(path)) return Outcome::Held;
            if (const int failed = replaceLockFile(path, readers))
                return refuse(QStringLiteral("%1 is no lock file of this program and cannot be replaced: %2; "
                                             "remove it (rm \"%1\") and start again")
                                  .arg(path, systemText(failed)));
            continue;
        }
        if (error && present)
            return refuse(QStringLiteral("%1 is no lock file of this program (%2): remove it (rm \"%1\") and start again")
                              .arg(path, openFailureText(error)));
        if (error) return refuse(QStringLiteral("The lock file %1 cannot be made: %2").arg(path, systemText(error)));
        ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
        shareWithFolderGroup(fd.get(), QFileInfo(path).absolutePath(), readers);
        // An open file description lock: it belongs to this descriptor alone
        // and goes with it, whoever else opens the file.
        struct flock whole {};
        whole.l_type = F_WRLCK;
        whole.l_whence = SEEK_SET;
        if (::fcntl(fd.get(), F_OFD_SETLK, &whole) != 0) {
            if (errno == EAGAIN || errno == EACCES) return Outcome::Held;
            return refuse(QStringLiteral("Cannot lock %1: %2").arg(path, systemText(errno)));
        }
        // Replaced meanwhile: the lock of a file nobody finds is no lock.
        if (!sameFile(fd.get(), name)) continue;
        fd_ = std::move(fd);
        return Outcome::Taken;
    }
    return refuse(QStringLiteral("Cannot lock %1: it is replaced again and again").arg(path));
}

KernelLockFile::Outcome KernelLockFile::lock(const QString& path, int waitMs, FileReaders readers) {
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        const Outcome outcome = tryLock(path, readers);
        if (outcome != Outcome::Held || deadline.hasExpired()) return outcome;
        QThread::msleep(kRetryMs);
    }
}

void KernelLockFile::writeNote(const QByteArray& note) {
    if (!fd_) return;
    if (::ftruncate(fd_.get(), 0) != 0) return;
    [[maybe_unused]] const ssize_t n = ::pwrite(fd_.get(), note.constData(), size_t(note.size()), 0);
}

QByteArray KernelLockFile::readNote(const QString& path) {
    const UniqueFd fd = openNoFollow(path, O_RDONLY);
    if (!fd) return QByteArray();
    QByteArray note(kNoteLimit, Qt::Uninitialized);
    const ssize_t n = ::pread(fd.get(), note.data(), size_t(note.size()), 0);
    note.resize(n > 0 ? n : 0);
    return note;
}

}  // namespace platform
