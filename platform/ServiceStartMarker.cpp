#include "platform/ServiceStartMarker.h"

#include "platform/BoundedRead.h"
#include "platform/SharedFile.h"

#include <QFile>

namespace platform {

namespace {

// "<pid> <start time>\n"
constexpr qint64 kNoteLimit = 64;

// Field 22 of /proc/<pid>/stat, the start time in clock ticks; empty when the
// process is gone or has ended (a zombie).
QByteArray processStartTime(qint64 pid) {
    if (pid <= 0) return {};
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return {};
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');  // the command name may hold blanks
    if (close < 0) return {};
    const QList<QByteArray> fields = text.mid(close + 2).split(' ');
    // fields[0] is field 3 (the state).
    if (fields.size() < 20 || fields[0] == "Z" || fields[0] == "X") return {};
    return fields[19];
}

}  // namespace

ServiceStartMarker::ServiceStartMarker(const QString& channelName)
    : path_(channelName + QStringLiteral(".start")) {}

bool ServiceStartMarker::pending() const {
    // Another account may have put anything at the name: a fifo is never
    // waited on, a link never followed, a large file never read.
    QByteArray note;
    const ReadOutcome read = readBoundedFile(path_, kNoteLimit, note, nullptr);
    if (read == ReadOutcome::Missing) return false;
    const QList<QByteArray> words = note.trimmed().split(' ');
    bool ok = false;
    const qint64 pid = words.value(0).toLongLong(&ok);
    const QByteArray started = processStartTime(ok ? pid : 0);
    if (words.size() == 2 && !started.isEmpty() && started == words[1]) return true;
    clear();
    return false;
}

void ServiceStartMarker::record(qint64 pid) {
    saveFileReplacing(path_, QByteArray::number(pid) + ' ' + processStartTime(pid) + '\n');
}

void ServiceStartMarker::clear() const { QFile::remove(path_); }

}  // namespace platform
