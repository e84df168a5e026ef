#pragma once
// Child processes and waits shared by the client and the service. A command
// line is split into a program and its arguments with shell-like quoting
// (platform::splitCommandLine) and run without a shell.
#include <QString>
#include <QStringList>

#include <functional>

namespace common {

// Starts the command line. showState 0 (hidden) sends the child's output to
// the null device; other states keep the caller's terminal (windows have no
// start-up state to set here). With wait, returns only after the child has
// ended, serving the program's events meanwhile; without it the child runs
// on its own and is reaped by the system. Returns 1 when the process was
// started, else 0; nothing is reported.
long modGlobal_RunCommandLine(const QString& commandLine, bool wait, short showState);

// Runs the command line hidden and returns what it wrote on the captured
// streams until it ended (both captured: interleaved as written), decoded from
// the 8-bit code page; the OEM code page is that same code page here, so
// convertFromOem changes nothing. A command that cannot be started gives "".
// Throws platform::Error 5 when neither stream is asked for.
QString modGlobal_RunAndCaptureOutput(const QString& commandLine, bool captureOutput, bool captureError,
                                      bool convertFromOem);
// The same with the program and its arguments already apart. A child still
// running after timeoutMs (-1: no limit) is killed and gives "", so a program
// that never answers cannot hang its caller.
QString modGlobal_RunAndCaptureOutput(const QString& program, const QStringList& arguments,
                                      bool captureOutput, bool captureError, bool convertFromOem,
                                      int timeoutMs = -1);

// Returns after the given seconds on a monotonic clock, keeping the program's
// event loop running (timers, sockets, repaints); at once for 0 or fewer.
// `stop`, when given, is asked between events and ends the wait early (the
// service passes its shut-down flag). Callers look at their own state again
// afterwards: other work may have run inside the wait.
void modGlobal_WaitSeconds(int seconds, const std::function<bool()>& stop = {});

}  // namespace common
