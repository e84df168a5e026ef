#pragma once
// The programs' own command lines: both start-ups split them into switches
// ("-debug", "-systray", "-install", ...) and test for those.
#include <QString>
#include <QStringList>

namespace common {

// The program's arguments (after its name) split at blanks and tabs. Element 0
// is always empty, the arguments are elements 1 to count; at most MaxArgs are
// kept and the rest of the line is dropped. Quotes mean nothing here: a quoted
// path with blanks becomes several elements, as the switches need no more.
QStringList modGlobal_SplitCommandLine(int MaxArgs = 10);

// The same split of a given command-line text.
QStringList modGlobal_SplitCommandLineText(const QString& commandLine, int MaxArgs = 10);

// True when an element equals the text, letter case ignored.
bool modGlobal_HasArgument(const QStringList& arguments, const QString& text);

}  // namespace common
