#pragma once
// The system's service manager (systemd) as the service control manager uses
// it: a registered service runs as the unit that "-install" writes, and it is
// started, stopped and restarted only by asking systemctl for that unit. No
// program named by the settings is ever run; the unit's name comes from the
// service's name alone.
#include <QString>
#include <QStringList>

namespace platform {

// "SorvexTavrelService" -> "sorvex-tavrel-service.service": a hyphen before
// each inner capital, all lower case.
QString serviceUnitName(const QString& serviceName);

// True when systemd is the init system here (its runtime folder exists), so
// that a unit can be started at all.
bool serviceManagerRuns();

struct ServiceManagerOutcome {
    long error = 0;      // 0, or the service control error it stands for
    QString output;      // what systemctl wrote on its standard output, trimmed
};

// Runs "systemctl --no-ask-password <arguments>" (found on PATH) and waits up to
// timeoutMs for it, serving the program's events meanwhile. Errors: 50 when
// no service manager runs here (no systemctl, or systemd is not the init
// system), 5 when this user may not do it, 1060 when the unit is not
// installed, 1053 when systemctl did not finish in time, 1058 for any other
// refusal.
ServiceManagerOutcome runServiceManager(const QStringList& arguments, int timeoutMs);

}  // namespace platform
