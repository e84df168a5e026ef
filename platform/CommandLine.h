#pragma once
// User-typed command lines (a task's external commands) are split into a
// program and its arguments here and run without a shell, so nothing in them
// is ever expanded or executed by a shell: ";", "|", "$(...)", "`...`", "*"
// and the like are plain characters.
#include <QString>
#include <QStringList>

namespace platform {

struct SplitCommand {
    QStringList arguments;  // arguments[0] is the program; empty for a blank line
    QString error;          // empty when the line was split
    bool ok() const { return error.isEmpty(); }
};

// Shell-like quoting: blanks, tabs and line breaks separate arguments;
// '...' keeps everything up to the next ' as written; "..." keeps everything
// up to the next unescaped ", where \" \\ \$ and \` stand for the second
// character and any other backslash is kept; outside quotes a backslash keeps
// the next character as written (a backslash at the very end stays a
// backslash). Quoted parts join the surrounding text into one argument, and
// "" or '' alone is an empty argument. A quote left open is an error.
SplitCommand splitCommandLine(const QString& line);

}  // namespace platform
