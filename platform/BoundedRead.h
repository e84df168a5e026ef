#pragma once
// Reading a whole file that other accounts may have put in place (the
// settings hive, "server.dat", parameter sets, notes in the runtime folder):
// never more than the caller's limit, so a file grown to gigabytes (a sparse
// one costs its writer nothing) is refused before a byte is read, and never
// in a way that waits (a fifo in the file's place).
#include <QByteArray>
#include <QString>

namespace platform {

enum class ReadOutcome {
    Read,     // the bytes are the file's
    Missing,  // no file of that name
    Failed,   // *reason says why
};

enum class Links {
    Refuse,  // a file only the programs write: a link in its place was planted
    Follow,  // a file the user chose, wherever it lies
};

// Reads the regular file at the path into `bytes`. A file of more than
// `limit` bytes, a folder, a fifo or a device is Failed with the reason, as
// a message tells it after the file's name ("it holds 4294967296 bytes, more
// than the 16777216 it may hold").
ReadOutcome readBoundedFile(const QString& path, qint64 limit, QByteArray& bytes, QString* reason,
                            Links links = Links::Refuse);

}  // namespace platform
