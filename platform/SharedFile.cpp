#include "platform/SharedFile.h"

#include "platform/ReplacingFile.h"
#include "platform/SharedFolder.h"
#include "platform/UniqueFd.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QString folderOf(const QString& path) { return QFileInfo(path).absolutePath(); }

}  // namespace

void shareWithFolderGroup(int fd, const QString& folder, FileReaders readers) {
    struct stat file {}, dir {};
    if (::fstat(fd, &file) != 0 || file.st_uid != ::geteuid()) return;
    mode_t mode = (file.st_mode & 0777) | S_IRUSR | S_IWUSR;
    if (isGroupShared(folder) && ::stat(QFile::encodeName(folder).constData(), &dir) == 0) {
        // A folder without its set-group-id bit does not hand its group on;
        // an account outside the folder's group keeps its own.
        if (file.st_gid != dir.st_gid) (void)!::fchown(fd, static_cast<uid_t>(-1), dir.st_gid);
        mode = kGroupFileMode;
    }
    if (readers == FileReaders::OwnerAndGroup) mode = kGroupFileMode;
    if ((file.st_mode & 0777) != mode) ::fchmod(fd, mode);
}

void shareWithFolderGroup(const QString& path, FileReaders readers) {
    const UniqueFd fd = openNoFollow(path, O_RDONLY);
    if (fd) shareWithFolderGroup(fd.get(), folderOf(path), readers);
}

QString saveFileReplacing(const QString& path, const QByteArray& bytes, SaveStage* failedAt, FileReaders readers) {
    ReplacingFile file(path, readers);
    const bool made = file.isOpen();
    if (made && file.write(bytes) && file.commit(true)) return QString();
    if (failedAt) *failedAt = made ? SaveStage::Write : SaveStage::Create;
    return file.errorText();
}

UniqueFd openForAppending(const QString& path, FileReaders readers) {
    constexpr int kFlags = O_WRONLY | O_APPEND;
    UniqueFd fd = openNoFollow(path, kFlags);
    if (!fd) {
        const int error = errno;
        if (error != ENOENT && error != ELOOP) return {};
        // A link in place of the file: the link goes, never what it names.
        if (error == ELOOP && ::unlink(QFile::encodeName(path).constData()) != 0) return {};
        fd = openNoFollow(path, kFlags | O_CREAT | O_EXCL, 0666 & ~processUmask());
        if (!fd && errno == EEXIST) fd = openNoFollow(path, kFlags);  // made by another just now
        if (!fd) return {};  // a fifo or a device is no event log
    }
    shareWithFolderGroup(fd.get(), folderOf(path), readers);
    return fd;
}

UniqueFd openForWriting(const QString& path, FileReaders readers) {
    const QByteArray name = QFile::encodeName(path);
    constexpr int kFlags = O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    UniqueFd fd(::open(name.constData(), kFlags));
    struct stat st {};
    if (fd && ::fstat(fd.get(), &st) == 0) {
        // A device is what it is (nobody but root makes one); a fifo would
        // make the writer wait for a reader.
        if (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode)) {
            fd.reset();
            errno = kNotRegularFile;
            return fd;
        }
        ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
        if (!S_ISREG(st.st_mode)) return fd;
        if (st.st_nlink == 1) {
            if (::ftruncate(fd.get(), 0) != 0) {
                const int error = errno;
                fd.reset();
                errno = error;
                return fd;
            }
            shareWithFolderGroup(fd.get(), folderOf(path), readers);
            return fd;
        }
    }
    // ELOOP: a link; an open file here has other names too (a hard link to
    // somebody's file). The name goes, never what it leads to.
    const int error = fd ? EMLINK : errno;
    fd.reset();
    if (error != ENOENT && error != ELOOP && error != EMLINK) {
        errno = error == ENXIO ? kNotRegularFile : error;  // ENXIO: a fifo nobody reads, or a socket
        return fd;
    }
    if (error != ENOENT && ::unlink(name.constData()) != 0 && errno != ENOENT) return fd;
    fd.reset(::open(name.constData(), (kFlags & ~O_NONBLOCK) | O_CREAT | O_EXCL, 0666 & ~processUmask()));
    if (fd) shareWithFolderGroup(fd.get(), folderOf(path), readers);
    return fd;
}

}  // namespace platform
