#pragma once
// The parameter file on disk: one KEY=VALUE line per search parameter, in the
// 8-bit code page, CR LF line ends. The client's editor and the service's
// search form both read it with readParameterFileLines, so the two programs
// split lines the same way: at the first "=", nothing trimmed, keys kept
// exactly as written. No widgets here: the service links this library.
#include "platform/Error.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace tavrel {

struct ParameterLine {
    QString key;     // everything before the first "=", possibly empty
    QString value;   // everything after it, further "=" included
    int lineNumber;  // 1-based, for messages
    bool operator==(const ParameterLine&) const = default;
};

// How lines without "=" are treated. The editor skips them, as it always has.
// The service cannot: a line without "=" would be sent as nothing at all and
// the search would go out short of a parameter, so there it is an error
// (an empty or blank line is still skipped, as an editor leaves them behind).
enum class ParameterLineRule { SkipLinesWithoutEquals, RejectLinesWithoutEquals };

struct ParameterFileError {
    enum class Kind {
        NotFound,       // no file of that name
        Unreadable,     // exists but cannot be opened or read (a folder, no permission)
        LineWithoutEquals,
        CannotCreate,   // the file cannot be created or is read-only
        WriteFailed,    // created, but writing or the final rename failed
        NotWritable,    // a key or value the file format cannot hold
    };
    Kind kind;
    QString path;
    QString message;  // complete text, names the file (and the line)
    int lineNumber = 0;

    // As an error with a number for the handlers that report "number: text".
    platform::Error toError() const;
};

struct ParameterFileLines {
    QList<ParameterLine> lines;
    std::optional<ParameterFileError> error;
    bool ok() const { return !error.has_value(); }
};

// Reads every KEY=VALUE line in file order; CR LF and LF line ends are both
// accepted and a last line without a line end counts. On any error no lines
// are returned.
ParameterFileLines readParameterFileLines(const QString& path, ParameterLineRule rule);

// The same over bytes already read; path is used in messages only.
ParameterFileLines parseParameterFileLines(const QByteArray& bytes, const QString& path,
                                           ParameterLineRule rule);

// Writes the lines as KEY=VALUE with CR LF in the 8-bit code page, through a
// temporary file renamed over the target, so an interrupted save leaves the
// old file whole. Refuses, before touching the disk, a key holding "=", a key
// or value holding a line break, and characters the code page cannot hold:
// any of these would come back from the file as something else.
// An existing read-only file is not replaced.
std::optional<ParameterFileError> writeParameterFileLines(const QString& path,
                                                          const QList<ParameterLine>& lines);

// The bytes writeParameterFileLines would write, or the error it would give.
std::optional<ParameterFileError> encodeParameterFileLines(const QList<ParameterLine>& lines,
                                                           const QString& path, QByteArray& out);

// Lists (DB, MODS, IT_MODS) are their entries joined with "," and no blanks;
// an empty list is an empty value. Splitting an empty value gives no entry.
QString joinParameterList(const QStringList& entries);
QStringList splitParameterList(const QString& value);

}  // namespace tavrel
