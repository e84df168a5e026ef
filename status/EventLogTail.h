#pragma once
// The client's reading end of the service's event log: whole lines appended
// since the last read, in file order. The client never creates or writes the
// file. It survives the file being truncated or replaced (then it reads the
// new file from its start) and a line still being written (kept until its end
// arrives).
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tavrel {

class EventLogTail {
public:
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
    // ends, decoded from the 8-bit code page. Never throws; an unreadable file
    // gives no lines.
    QStringList readNewLines();

private:
    struct Identity {
        quint64 device = 0;
        quint64 inode = 0;
        bool operator==(const Identity&) const = default;
    };
    static bool identify(const QString& path, Identity* identity, qint64* size);

    QString path_;
    Identity identity_;
    bool known_ = false;  // identity_ names the file being followed
    qint64 position_ = 0;  // the first byte not yet handed out as a line
};

}  // namespace tavrel
