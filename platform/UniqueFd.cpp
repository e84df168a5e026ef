#include "platform/UniqueFd.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

void UniqueFd::reset(int fd) noexcept {
    if (fd_ >= 0 && fd_ != fd) ::close(fd_);
    fd_ = fd;
}

int UniqueFd::close() noexcept {
    const int fd = release();
    if (fd < 0) return 0;
    return ::close(fd) == 0 ? 0 : errno;
}

UniqueFd openNoFollow(const QString& path, int flags, mode_t mode) {
    // O_NONBLOCK keeps the open of a fifo from waiting for its other end;
    // a regular file ignores it, and it is taken off again below.
    UniqueFd fd(::open(QFile::encodeName(path).constData(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY,
                       mode));
    if (!fd) return fd;
    struct stat st {};
    const int error = ::fstat(fd.get(), &st) != 0 ? errno
                      : S_ISREG(st.st_mode)             ? 0
                      : S_ISDIR(st.st_mode)             ? EISDIR
                                                        : kNotRegularFile;
    if (error) {
        fd.reset();
        errno = error;
        return fd;
    }
    if (!(flags & O_NONBLOCK)) ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    return fd;
}

QString openFailureText(int error) {
    if (error == ELOOP) return QStringLiteral("it is a symbolic link, which is never followed");
    if (error == kNotRegularFile) return QStringLiteral("it is no regular file");
    if (error == EISDIR) return QStringLiteral("it is a folder");
    return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace platform
