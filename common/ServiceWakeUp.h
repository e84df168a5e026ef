#pragma once
// The client's side of the service program: wake it after a request was
// written, start it and stop it. The service runs as the service
// "SorvexTavrelService" or in the tray (TrayMessageId not 0, common/Globals.h).
// With quiet set nothing is shown; the Boolean result tells the outcome.
#include <QString>

#include <functional>

namespace tavrel {

inline const QString ServiceName = QStringLiteral("SorvexTavrelService");
inline const QString ServiceWindowTitle = QStringLiteral("Sorvex Tavrel Service");
inline const QString ServiceWindowClass = QStringLiteral("ThunderRT6Main");
inline const QString ServicePrivateMessageName = QStringLiteral("Sorvex Tavrel private message");
inline constexpr quint32 ServiceControlCheckNow = 128;

// True when the wake-up was delivered or is not needed ("-debug").
bool modGlobal_NotifyService(bool quiet);
// True when the service has reached running (4) / stopped (1).
bool modGlobal_StartService(bool quiet);
bool modGlobal_StopService(bool quiet);
// Stop, then start, both through the service manager: a service that only
// stopped would stay down, since its unit restarts it after failures alone.
bool modGlobal_RestartService(bool quiet);
// Starts the service program in the tray ("-systray"), not waited for. When it
// cannot be started: "Unable to start Sorvex Tavrel Service as system tray
// application", and false.
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
