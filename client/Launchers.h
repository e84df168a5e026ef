#pragma once
// Results handed to programs outside the system: a result page to the
// desktop's web browser, a Quellmark project to Quellmark. Each answers a
// shell-style result code (above 32 is success) and shows a warning for
// every failure; nothing is raised to the caller.
#include <QString>

namespace tavrel {

inline constexpr long kShellOpened = 42;

long InvokeBrowser(const QString& url);
long InvokeQuellmark(const QString& sProjectPath);

}  // namespace tavrel
