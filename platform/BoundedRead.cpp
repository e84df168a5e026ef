#include "platform/BoundedRead.h"

#include "platform/UniqueFd.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

ReadOutcome failed(QString* reason, const QString& text) {
    if (reason) *reason = text;
    return ReadOutcome::Failed;
}

}  // namespace

ReadOutcome readBoundedFile(const QString& path, qint64 limit, QByteArray& bytes, QString* reason, Links links) {
    bytes.clear();
    UniqueFd fd;
    if (links == Links::Refuse) {
        fd = openNoFollow(path, O_RDONLY);
    } else {
        // Through a link, but still never waiting on what it names.
        fd.reset(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    }
    if (!fd) {
        const int error = errno;
        if (error == ENOENT) return ReadOutcome::Missing;
        return failed(reason, openFailureText(error));
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return failed(reason, openFailureText(errno));
    if (!S_ISREG(st.st_mode)) return failed(reason, openFailureText(S_ISDIR(st.st_mode) ? EISDIR : kNotRegularFile));
    if (st.st_size > limit)
        return failed(reason, QStringLiteral("it holds %1 bytes, more than the %2 it may hold").arg(st.st_size).arg(limit));
    // One byte more than the limit is asked for, so a file that grows while
    // it is read is still caught.
    bytes.resize(qsizetype(st.st_size) + 1);
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd.get(), bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n < 0) {
            const int error = errno;
            bytes.clear();
            return failed(reason, openFailureText(error));
        }
        if (n == 0) break;
        got += n;
        if (got > limit) {
            bytes.clear();
            return failed(reason, QStringLiteral("it holds more than the %1 bytes it may hold").arg(limit));
        }
        if (got == bytes.size()) bytes.resize(std::min<qint64>(limit + 1, bytes.size() * 2 + 4096));
    }
    bytes.resize(got);
    return ReadOutcome::Read;
}

}  // namespace platform
