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

// "--help" (also "-help", "-h", "-?") and "--version" ("-version"), letter
// case ignored: every program answers them on its console and does nothing
// else, before it opens a display, a window or its program folder.
bool isHelpSwitch(const QString& argument);
bool isVersionSwitch(const QString& argument);

enum class InfoSwitch { None, Help, Version };
// The first of those among the process's arguments (argv[1] onwards).
InfoSwitch infoSwitchOf(int argc, const char* const* argv);

}  // namespace common
