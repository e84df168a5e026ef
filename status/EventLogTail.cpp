#include "status/EventLogTail.h"

#include "common/EventLogLine.h"

#include <QFile>

#include <sys/stat.h>

namespace tavrel {

namespace {

constexpr qint64 kShowWholeUpTo = 1000;
constexpr qint64 kShowLastBytes = 500;
// Reads in pieces, so a huge backlog does not have to fit in one buffer twice.
constexpr qint64 kChunk = 1 << 20;

}  // namespace

bool EventLogTail::identify(const QString& path, Identity* identity, qint64* size) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    *identity = {static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino)};
    *size = static_cast<qint64>(st.st_size);
    return true;
}

void EventLogTail::open(const QString& path) {
    path_ = path;
    known_ = false;
    position_ = 0;
    qint64 size = 0;
    if (!identify(path_, &identity_, &size)) return;
    known_ = true;
    if (size <= kShowWholeUpTo) return;
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(size - kShowLastBytes)) return;
    // The rest of the line the cut falls in is skipped as well.
    const QByteArray tail = file.read(kShowLastBytes);
    const qsizetype lineEnd = tail.indexOf('\n');
    position_ = lineEnd < 0 ? size : size - kShowLastBytes + lineEnd + 1;
}

void EventLogTail::close() {
    path_.clear();
    known_ = false;
    position_ = 0;
}

QStringList EventLogTail::readNewLines() {
    QStringList lines;
    if (path_.isEmpty()) return lines;
    Identity now;
    qint64 size = 0;
    if (!identify(path_, &now, &size)) return lines;  // gone for now; a new file is read from its start
    if (!known_ || now != identity_ || size < position_) {
        // A new file, or this one cut back: what it holds now was never shown.
        identity_ = now;
        known_ = true;
        position_ = 0;
    }
    if (size == position_) return lines;
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(position_)) return lines;
    QByteArray pending;
    while (true) {
        const QByteArray chunk = file.read(kChunk);
        if (chunk.isEmpty()) break;
        pending += chunk;
        qsizetype start = 0;
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n', start)) {
            qsizetype stop = end;
            if (stop > start && pending[stop - 1] == '\r') --stop;
            lines.append(common::decodeEventLine(QByteArrayView(pending).sliced(start, stop - start)));
            start = end + 1;
        }
        position_ += start;
        pending.remove(0, start);
    }
    return lines;
}

}  // namespace tavrel
