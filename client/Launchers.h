#pragma once
// Results and help pages handed to programs outside the system: a result
// page or a help page to the web browser, a Quellmark project to Quellmark.
// One road for all: the desktop's opener (xdg-open), else the program that
// the file type opens with, taken only from the user's own desktop or from
// the settings of a program folder that is the user's own
// (platform/ShellAssoc.h); never a program that another account named. Each
// answers a shell-style result code (above 32 is success) and shows a
// warning for every failure; nothing is raised to the caller.
#include <QString>

namespace tavrel {

inline constexpr long kShellOpened = 42;

long InvokeBrowser(const QString& url);
long InvokeQuellmark(const QString& sProjectPath);

}  // namespace tavrel
