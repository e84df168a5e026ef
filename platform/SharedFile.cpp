#include "platform/SharedFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace platform {

namespace {

QString systemText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Read, not set: umask(2) changes the mask of every thread while it is asked.
mode_t processUmask() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (!line.startsWith("Umask:")) continue;
            bool ok = false;
            const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
            if (ok) return static_cast<mode_t>(mask & 0777);
        }
    }
    return 022;
}

QString folderOf(const QString& path) { return QFileInfo(path).absolutePath(); }

// Closes the descriptor and removes the temporary file unless it was renamed.
class TemporaryFile {
public:
    explicit TemporaryFile(const QString& target) : name_(QFile::encodeName(target + QStringLiteral(".XXXXXX"))) {
        name_.append('\0');
        fd_ = ::mkostemp(name_.data(), O_CLOEXEC);
        if (fd_ < 0) error_ = errno;
    }
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (fd_ >= 0 || closed_) {
            if (!renamed_) ::unlink(name_.constData());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return fd_; }
    int error() const { return error_; }

    bool write(const QByteArray& bytes) {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd_, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return keep(n < 0 ? errno : ENOSPC);
            done += n;
        }
        return true;
    }
    bool finish() {
        if (::fsync(fd_) != 0) return keep(errno);
        const int fd = fd_;
        fd_ = -1;
        closed_ = true;
        if (::close(fd) != 0) return keep(errno);
        return true;
    }
    // rename(2) replaces whatever the target is, a link included, and never
    // follows it.
    bool renameTo(const QString& target) {
        if (::rename(name_.constData(), QFile::encodeName(target).constData()) != 0) return keep(errno);
        renamed_ = true;
        return true;
    }

private:
    bool keep(int error) {
        error_ = error;
        return false;
    }
    QByteArray name_;
    int fd_ = -1;
    int error_ = 0;
    bool closed_ = false;
    bool renamed_ = false;
};

// The modes a new file starts with: those of the file it replaces, when that
// is a plain file, else what the umask leaves of read and write for all.
mode_t startingMode(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 0777;
    return 0666 & ~processUmask();
}

}  // namespace

void shareWithFolderGroup(int fd, const QString& folder, FileReaders readers) {
    struct stat file {}, dir {};
    if (::fstat(fd, &file) != 0 || file.st_uid != ::geteuid()) return;
    mode_t mode = file.st_mode & 0777;
    if (::stat(QFile::encodeName(folder).constData(), &dir) == 0 && (dir.st_mode & S_IWGRP)) {
        // A folder without its set-group-id bit does not hand its group on;
        // an account outside the folder's group keeps its own.
        if (file.st_gid != dir.st_gid) (void)!::fchown(fd, static_cast<uid_t>(-1), dir.st_gid);
        mode |= S_IRGRP | S_IWGRP;
    }
    mode |= S_IRUSR | S_IWUSR;
    if (readers == FileReaders::OwnerAndGroup) mode = S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP;
    ::fchmod(fd, mode);
}

void shareWithFolderGroup(const QString& path, FileReaders readers) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) shareWithFolderGroup(fd, folderOf(path), readers);
    ::close(fd);
}

QString saveFileReplacing(const QString& path, const QByteArray& bytes, SaveStage* failedAt, FileReaders readers) {
    const auto failed = [&](SaveStage stage, const QString& reason) {
        if (failedAt) *failedAt = stage;
        return reason;
    };
    const QString target = QFileInfo(path).absoluteFilePath();
    struct stat st {};
    if (::lstat(QFile::encodeName(target).constData(), &st) == 0 && S_ISDIR(st.st_mode))
        return failed(SaveStage::Create, QStringLiteral("it is a folder"));
    const mode_t mode = startingMode(target);
    TemporaryFile temp(target);
    if (temp.fd() < 0)
        return failed(SaveStage::Create, systemText(temp.error()));
    ::fchmod(temp.fd(), mode);
    shareWithFolderGroup(temp.fd(), folderOf(target), readers);
    if (!temp.write(bytes) || !temp.finish() || !temp.renameTo(target))
        return failed(SaveStage::Write, systemText(temp.error()));
    return QString();
}

int openForAppending(const QString& path, FileReaders readers) {
    const QByteArray name = QFile::encodeName(path);
    constexpr int kFlags = O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    int fd = ::open(name.constData(), kFlags);
    if (fd < 0) {
        const int error = errno;
        if (error != ENOENT && error != ELOOP) return -1;
        // A link in place of the file: the link goes, never what it names.
        if (error == ELOOP && ::unlink(name.constData()) != 0) return -1;
        fd = ::open(name.constData(), kFlags | O_CREAT | O_EXCL, 0666 & ~processUmask());
        if (fd < 0 && errno == EEXIST) fd = ::open(name.constData(), kFlags);  // made by another just now
        if (fd < 0) return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;  // a fifo or a device is no event log
        return -1;
    }
    ::fcntl(fd, F_SETFL, O_WRONLY | O_APPEND);  // blocking writes from here on
    shareWithFolderGroup(fd, folderOf(path), readers);
    return fd;
}

}  // namespace platform
