#include "platform/ReplacingFile.h"

#include "platform/SharedFolder.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// The modes a new file starts with: those of the file it replaces, when that
// is a plain file, else what the umask leaves of read and write for all.
mode_t startingMode(const QByteArray& path) {
    struct stat st {};
    if (::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 0777;
    return 0666 & ~processUmask();
}

}  // namespace

ReplacingFile::ReplacingFile(const QString& path, FileReaders readers)
    : path_(QFileInfo(path).absoluteFilePath()), temporary_(QFile::encodeName(path_) + ".XXXXXX") {
    const QByteArray target = QFile::encodeName(path_);
    struct stat st {};
    if (::lstat(target.constData(), &st) == 0 && S_ISDIR(st.st_mode)) {
        fail(EISDIR);
        return;
    }
    fd_.reset(::mkostemp(temporary_.data(), O_CLOEXEC));
    if (!fd_) {
        fail(errno);
        return;
    }
    made_ = true;
    ::fchmod(fd_.get(), startingMode(target));
    shareWithFolderGroup(fd_.get(), QFileInfo(path_).absolutePath(), readers);
}

ReplacingFile::~ReplacingFile() {
    fd_.reset();
    if (made_ && !renamed_) ::unlink(temporary_.constData());
}

bool ReplacingFile::fail(int error) {
    if (!error_) error_ = error;
    return false;
}

bool ReplacingFile::write(const char* data, qsizetype size) {
    if (error_ || !fd_) return fail(EBADF);
    while (size > 0) {
        const ssize_t n = ::write(fd_.get(), data, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return fail(n < 0 ? errno : ENOSPC);
        data += n;
        size -= n;
    }
    return true;
}

bool ReplacingFile::commit(bool durable) {
    if (error_ || !fd_) return fail(EBADF);
    if (durable && ::fsync(fd_.get()) != 0) return fail(errno);
    if (const int error = fd_.close()) return fail(error);
    // rename(2) replaces whatever the name holds, a link included, and never
    // follows it.
    if (::rename(temporary_.constData(), QFile::encodeName(path_).constData()) != 0) return fail(errno);
    renamed_ = true;
    return true;
}

QString ReplacingFile::errorText() const {
    if (error_ == EISDIR) return QStringLiteral("it is a folder");
    return QString::fromLocal8Bit(std::strerror(error_));
}

}  // namespace platform
