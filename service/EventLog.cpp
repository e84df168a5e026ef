#include "service/EventLog.h"

#include "common/Secrets.h"
#include "platform/SharedFile.h"
#include "platform/SysLog.h"
#include "platform/UniqueFd.h"

#include <QDateTime>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrelsvc {

namespace {

struct StreamState {
    QString path;
    platform::UniqueFd fd;
    bool echo = false;
};

StreamState& state() {
    static StreamState s;
    return s;
}

// The clients of the program folder's group read it, nobody else; a link
// planted in its place is replaced, never written through.
platform::UniqueFd openForAppending(const QString& path) {
    return platform::openForAppending(path, platform::FileReaders::OwnerAndGroup);
}

void closeFd() {
    state().fd.reset();
}

// A rotation moved the file away (or removed it): the open descriptor no
// longer names the file at the path, and the next line starts a new one.
void followRotation() {
    StreamState& s = state();
    struct stat atPath {}, open {};
    const bool present = ::stat(QFile::encodeName(s.path).constData(), &atPath) == 0;
    if (present && ::fstat(s.fd.get(), &open) == 0 && atPath.st_dev == open.st_dev && atPath.st_ino == open.st_ino) return;
    platform::UniqueFd fd = openForAppending(s.path);
    if (!fd) return;  // the old file takes the line rather than losing it
    s.fd = std::move(fd);
}

bool writeWhole(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

}  // namespace

bool EventLogStream::open(const QString& path) {
    platform::UniqueFd fd = openForAppending(path);
    if (!fd) return false;
    state().fd = std::move(fd);
    state().path = path;
    return true;
}

void EventLogStream::close() { closeFd(); }

bool EventLogStream::isOpen() { return state().fd.valid(); }

void EventLogStream::setEcho(bool on) { state().echo = on; }

bool EventLogStream::writeLine(const QByteArray& line) {
    if (state().echo) std::fprintf(stderr, "%s\n", line.constData());
    if (!isOpen()) return false;
    followRotation();
    // One write for the whole line: the client reads the file while the service runs.
    return writeWhole(state().fd.get(), line + "\r\n");
}

void modGlobal_WriteEventLog(short eventType, long taskNumber, const QString& taskLabel,
                             const QString& dataFile, const QString& message) {
    // Time is read before the date, each by its own reading.
    const QString time = common::eventTimeText(QTime::currentTime());
    const QString date = common::eventDateText(QDate::currentDate());
    // Whatever a caller passes, no password reaches the file.
    const QString line = formatEventLine(eventType, time, date, taskNumber, common::maskSecrets(taskLabel),
                                         common::maskSecrets(dataFile), common::maskSecrets(message));
    if (EventLogStream::writeLine(common::encodeEventLine(line))) return;
    const QString reason = EventLogStream::isOpen() ? QStringLiteral("Write to event log file failed")
                                                    : QStringLiteral("Event log file is not open");
    platform::writeSystemEvent(1, 109, QStringLiteral("(TVS1057) 52: ") + reason);
}

}  // namespace tavrelsvc
