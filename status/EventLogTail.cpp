#include "status/EventLogTail.h"

#include "common/EventLogLine.h"
#include "platform/UniqueFd.h"

#include <QList>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

namespace tavrel {

namespace {

constexpr qint64 kShowWholeUpTo = 1000;
constexpr qint64 kShowLastBytes = 500;
// A line whose quotes never close is cut at its first line end once this much
// follows it, so one damaged line cannot swallow the rest of the log.
constexpr qint64 kLongestQuotedLine = 64 * 1024;

struct Span {
    qsizetype start;
    qsizetype length;
};

// The end of the line starting at `from` (the index of its LF), or -1 when
// the bytes hold no complete line yet. Quotes are read as the event-line
// parser reads them: one opens only at the start of a field, "" is a quote.
qsizetype lineEnd(const QByteArray& bytes, qsizetype from) {
    const qsizetype n = bytes.size();
    const char* p = bytes.constData();
    bool inQuotes = false;
    bool fieldStart = true;
    for (qsizetype i = from; i < n; ++i) {
        const char c = p[i];
        if (inQuotes) {
            if (c == '"') {
                if (i + 1 < n && p[i + 1] == '"') {
                    ++i;
                } else if (i + 1 >= n) {
                    return -1;  // "" or " cannot be told apart yet
                } else {
                    inQuotes = false;
                }
            }
            if (inQuotes && i - from > kLongestQuotedLine) {
                const char* lf = static_cast<const char*>(memchr(p + from, '\n', size_t(n - from)));
                return lf ? lf - p : -1;
            }
            continue;
        }
        if (c == '\n') return i;
        if (c == '"' && fieldStart) {
            inQuotes = true;
            fieldStart = false;
            continue;
        }
        fieldStart = c == ',';
    }
    return -1;
}

// Past the NUL bytes from `from` on: the writer never writes one, but a log
// grown by a truncate, or a power cut, leaves runs of them before the next
// line, which are no line of their own.
qsizetype pastPadding(const QByteArray& bytes, qsizetype from) {
    const char* p = bytes.constData();
    while (from < bytes.size() && p[from] == '\0') ++from;
    return from;
}

}  // namespace

bool EventLogTail::identify(const QString& path, Identity* identity, qint64* size) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    *identity = {static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino)};
    *size = static_cast<qint64>(st.st_size);
    return true;
}

bool EventLogTail::follow() {
    file_.reset();
    position_ = 0;
    skipping_ = false;
    qint64 size = 0;
    Identity id;
    if (!identify(path_, &id, &size)) return false;
    platform::UniqueFd fd = platform::openNoFollow(path_, O_RDONLY);
    if (!fd) return false;
    auto file = std::make_unique<QFile>();
    if (!file->open(fd.get(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) return false;
    fd.release();
    // What was opened is what is followed, even if the path changed meanwhile.
    struct stat st {};
    if (::fstat(file->handle(), &st) == 0) id = {static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino)};
    identity_ = id;
    file_ = std::move(file);
    return true;
}

void EventLogTail::open(const QString& path) {
    close();
    path_ = path;
    if (!follow()) return;
    const qint64 size = file_->size();
    if (size <= kShowWholeUpTo) return;
    if (!file_->seek(size - kShowLastBytes)) return;
    // The rest of the line the cut falls in is skipped as well.
    const QByteArray tail = file_->read(kShowLastBytes);
    const qsizetype lf = tail.indexOf('\n');
    position_ = lf < 0 ? size : size - kShowLastBytes + lf + 1;
}

void EventLogTail::close() {
    path_.clear();
    file_.reset();
    position_ = 0;
    skipping_ = false;
    caughtUp_ = true;
}

QStringList EventLogTail::readNewLines(qint64 maxBytes, qsizetype keepLast) {
    QStringList lines;
    caughtUp_ = true;
    if (path_.isEmpty() || keepLast <= 0) return lines;
    if (!file_ && !follow()) return lines;  // not there yet: read from its start once it appears

    qint64 budget = std::max<qint64>(maxBytes, 1);
    // The followed file, then (after a rotation) the new one at the path.
    for (int pass = 0; pass < 2; ++pass) {
        const qint64 size = file_->size();
        if (size < position_) {
            position_ = 0;  // cut back: what it holds now was never shown
            skipping_ = false;
        }
        const qint64 available = size - position_;
        QByteArray bytes;
        if (available > 0 && file_->seek(position_)) {
            bytes = file_->read(std::min(available, budget));
            // A line that does not end within the slice is read on once, up
            // to its limit; it is never read again from its start.
            if (!skipping_ && bytes.size() < available && bytes.size() <= kLongestLine && lineEnd(bytes, 0) < 0)
                bytes += file_->read(std::min(available, kLongestLine + 1) - bytes.size());
        }
        budget -= bytes.size();
        const bool readToEnd = bytes.size() >= available;

        qsizetype start = 0;
        if (skipping_) {
            // The rest of a line cut at its limit.
            const char* lf = static_cast<const char*>(memchr(bytes.constData(), '\n', size_t(bytes.size())));
            start = lf ? lf - bytes.constData() + 1 : bytes.size();
            skipping_ = lf == nullptr;
        }
        QList<Span> spans;
        if (!skipping_) start = pastPadding(bytes, start);
        for (qsizetype end = skipping_ ? -1 : lineEnd(bytes, start); end >= 0; end = lineEnd(bytes, start)) {
            qsizetype stop = end;
            if (stop > start && bytes[stop - 1] == '\r') --stop;
            spans.append({start, std::min<qsizetype>(stop - start, kLongestLine)});
            start = pastPadding(bytes, end + 1);
        }
        if (!skipping_ && bytes.size() - start > kLongestLine) {
            // No line end within the limit (a damaged or padded log): the
            // line is shown cut there and the rest of it is skipped.
            spans.append({start, qsizetype(kLongestLine)});
            start = bytes.size();
            skipping_ = true;
        }
        Identity now;
        qint64 ignored = 0;
        const bool rotated = readToEnd && identify(path_, &now, &ignored) && !(now == identity_);
        if (rotated && start < bytes.size()) {
            // The old file ends in a line never finished; it will not be now.
            qsizetype stop = bytes.size();
            while (stop > start && (bytes[stop - 1] == '\r' || bytes[stop - 1] == '\n')) --stop;
            spans.append({start, stop - start});
            start = bytes.size();
        }
        position_ += start;

        // Only the lines that will be answered are decoded.
        const qsizetype keepHere = std::min<qsizetype>(spans.size(), keepLast);
        const qsizetype keepBefore = std::min<qsizetype>(lines.size(), keepLast - keepHere);
        lines = lines.mid(lines.size() - keepBefore);
        for (qsizetype i = spans.size() - keepHere; i < spans.size(); ++i)
            lines.append(common::decodeEventLine(QByteArrayView(bytes).sliced(spans[i].start, spans[i].length)));

        if (!readToEnd) {
            caughtUp_ = false;
            break;
        }
        if (!rotated) break;
        // The rest of the old file is read: the new one is read from its start.
        if (!follow()) break;
        if (budget <= 0) {
            caughtUp_ = false;
            break;
        }
    }
    return lines;
}

}  // namespace tavrel
