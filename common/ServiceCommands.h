#pragma once
// What the client tells a user who cannot start the service: the command an
// administrator runs, the same words as the README's, and why the service is
// not run on the user's desktop in a shared program folder. The program
// folder is the one platform::resolveProgramFolder() names.
#include <QString>

namespace common {

// The name the service is registered by with the service manager.
inline const QString ServiceName = QStringLiteral("SorvexTavrelService");

// The service program beside the running one (the client's TavrelService).
QString serviceProgramBesideThis();

// The service started by hand where systemd does not run: as the user that
// owns the program folder, in the foreground. "sudo runuser -u tavrel --
// /usr/bin/TavrelService -debug"; without sudo for one's own folder.
QString handStartCommand(const QString& serviceProgram);
// "Where systemd does not run, the service is started by hand as its user:"
// and that command on a line of its own.
QString handStartText(const QString& serviceProgram);

// The administrator's command that starts the service: "sudo systemctl start
// sorvex-tavrel-service.service" where systemd runs, else the hand start.
QString administratorStartCommand(const QString& serviceProgram);

// Empty when the service may run in the tray for this user (a program folder
// of the user's own, platform/OwnFolder.h), else why not with the command an
// administrator runs instead.
QString trayServiceRefusal(const QString& serviceProgram);

// The tray program on a desktop without a system tray.
QString noSystemTrayText();

}  // namespace common
