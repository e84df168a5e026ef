#include "platform/SharedFolder.h"

#include "platform/UniqueFd.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QString systemText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

bool isFolder(const QByteArray& path) {
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The folder that the descriptor holds takes the group of `parent` and the
// group's rights. Through the descriptor, so that a folder swapped for a link
// meanwhile never passes the modes on to what the link names.
void shareFolder(int fd, const QString& parent, bool madeNow) {
    struct stat own {}, above {};
    if (::fstat(fd, &own) != 0 || !S_ISDIR(own.st_mode) || own.st_uid != ::geteuid()) return;
    if (::stat(QFile::encodeName(parent).constData(), &above) != 0) return;
    // Without the set-group-id bit above, the new folder has the account's
    // own group; an account outside the folder's group keeps it.
    if (own.st_gid != above.st_gid) (void)!::fchown(fd, static_cast<uid_t>(-1), above.st_gid);
    const mode_t mode = madeNow ? kGroupFolderMode : (own.st_mode & 07777) | kGroupFolderMode;
    if ((own.st_mode & 07777) != mode) ::fchmod(fd, mode);
}

}  // namespace

// Read, not set: umask(2) changes the mask of every thread while it is asked.
mode_t processUmask() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.read(4096).split('\n')) {
            if (!line.startsWith("Umask:")) continue;
            bool ok = false;
            const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
            if (ok) return static_cast<mode_t>(mask & 0777);
        }
    }
    return 022;
}

bool isGroupShared(const QString& folder) {
    struct stat st {};
    return ::stat(QFile::encodeName(folder).constData(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_IWGRP);
}

QString makeSharedFolder(const QString& path) {
    const QString folder = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QString parent = QFileInfo(folder).absolutePath();
    const QByteArray name = QFile::encodeName(folder);
    const bool shared = isGroupShared(parent);
    bool madeNow = true;
    if (::mkdir(name.constData(), shared ? S_IRWXU : 0777) != 0) {
        const int error = errno;
        if (error != EEXIST || !isFolder(name))
            return QStringLiteral("%1 cannot be made: %2").arg(folder, systemText(error == EEXIST ? ENOTDIR : error));
        madeNow = false;
    }
    if (!shared) return QString();
    // A folder this account made before under a narrower umask is opened to
    // the group as well; one of another account is left as it is.
    const UniqueFd fd(::open(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (fd) shareFolder(fd.get(), parent, madeNow);
    return QString();
}

QString makeSharedPath(const QString& path) {
    const QString target = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QStringList missing;
    for (QString folder = target; !isFolder(QFile::encodeName(folder));) {
        const QString parent = QFileInfo(folder).absolutePath();
        if (parent == folder) break;
        missing.prepend(folder);
        folder = parent;
    }
    if (missing.isEmpty()) missing << target;  // there already: still opened to the group when it is ours
    for (const QString& each : missing)
        if (const QString problem = makeSharedFolder(each); !problem.isEmpty()) return problem;
    return QString();
}

}  // namespace platform
