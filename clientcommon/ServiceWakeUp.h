#pragma once
// The client's side of the service program: wake it after a request was
// written, start it and stop it. The service runs as the service
// "SorvexTavrelService" or in the tray (TrayMessageId not 0, clientcommon/Globals.h).
// With quiet set nothing is shown; the Boolean result tells the outcome.
#include "common/ServiceCommands.h"

#include <QString>

#include <functional>

namespace tavrel {

// The name the service is registered by, shared with the administrator's
// commands of common/ServiceCommands.h.
using common::ServiceName;
inline const QString ServiceWindowTitle = QStringLiteral("Sorvex Tavrel Service");
inline const QString ServiceWindowClass = QStringLiteral("ThunderRT6Main");
inline const QString ServicePrivateMessageName = QStringLiteral("Sorvex Tavrel private message");
inline constexpr quint32 ServiceControlCheckNow = 128;

// True when the service is registered with the service control manager
// (installed), whether it runs or not.
bool serviceRegistered();

// True when the wake-up was delivered or is not needed ("-debug").
bool modGlobal_NotifyService(bool quiet);
// True when the service has reached running (4) / stopped (1).
bool modGlobal_StartService(bool quiet);
bool modGlobal_StopService(bool quiet);
// One restart job of the service manager ("systemctl restart"), then the
// wait until the service runs: a user who may not restart it is told the one
// command that does, and the service is never left stopped by a stop that
// went through without its start.
bool modGlobal_RestartService(bool quiet);
// Starts the service program in the tray ("-systray"), not waited for. In a
// program folder that is not the user's own it is refused with the
// administrator's command (common/ServiceCommands.h). When it cannot be
// started: "Unable to start Sorvex Tavrel Service as system tray
// application". False in both cases.
bool modGlobal_StartTrayProgram(const QString& program);

// " is Stopped", " is being Started", ... for states 1 to 7; "" otherwise.
QString ServiceStateWord(quint32 state);

// The waits of start and stop: poll every pollMs until limitMs have passed
// since the call, on a monotonic clock; the program's events are served
// while waiting. Tests shorten them.
struct ServiceWaitTiming {
    int pollMs = 1000;
    int limitMs = 60000;
    std::function<qint64()> clockMs;  // empty: the steady clock
};
ServiceWaitTiming& serviceWaitTiming();

}  // namespace tavrel
