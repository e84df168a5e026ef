#pragma once
// The client's reading end of the service's event log: whole lines appended
// since the last read, in file order. The client never creates or writes the
// file. A line is what the service wrote as one line: a quoted field may hold
// CR and LF. It survives the file being truncated or rotated: a rotated file
// (renamed away, a new one written at the path) is read to its end first, then
// the new file from its start. A line still being written is kept until its
// end arrives.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <limits>
#include <memory>

namespace tavrel {

class EventLogTail {
public:
    // The bytes one read takes at most, and the longest line it answers: a
    // line that runs on is cut there and the rest of it skipped, so neither a
    // damaged log nor one padded by gigabytes of nothing can stop the window.
    static constexpr qint64 kSliceBytes = qint64(16) << 20;
    static constexpr qint64 kLongestLine = qint64(64) << 10;

    EventLogTail() = default;

    // Starts following the file. A file of more than 1000 bytes is followed
    // from the first line that begins after its last 500 bytes start, so the
    // first read shows the last few complete lines; a smaller one from its
    // beginning. A file that does not exist yet is read from its beginning
    // once it appears.
    void open(const QString& path);
    void close();
    bool isOpen() const { return !path_.isEmpty(); }
    const QString& path() const { return path_; }

    // The complete lines written since the last call, without their line
    // ends, decoded from the file's text, reading at most about `maxBytes`;
    // of those only the last `keepLast` are decoded and answered (the reader
    // moves past the others). Never throws; an unreadable file gives no lines.
    QStringList readNewLines(qint64 maxBytes = std::numeric_limits<qint64>::max(),
                             qsizetype keepLast = std::numeric_limits<qsizetype>::max());
    // False when the last read stopped at its byte limit with more to read.
    bool caughtUp() const { return caughtUp_; }

private:
    struct Identity {
        quint64 device = 0;
        quint64 inode = 0;
        bool operator==(const Identity&) const = default;
    };
    static bool identify(const QString& path, Identity* identity, qint64* size);
    bool follow();  // opens the file at the path, from its start

    QString path_;
    std::unique_ptr<QFile> file_;  // the file being read, kept open across a rename
    Identity identity_;
    qint64 position_ = 0;  // the first byte not yet handed out as a line
    bool skipping_ = false;  // position_ lies in the rest of a line cut at its limit
    bool caughtUp_ = true;
};

}  // namespace tavrel
