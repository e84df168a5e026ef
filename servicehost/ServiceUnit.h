#pragma once
// The systemd unit that runs the service at boot, as "-install" writes it and
// the package ships it: as the unprivileged user that owns the program folder
// (never root: task rows carry commands that the service runs), after the
// network is up, started again after a failure, with the protections that
// leave it free to read data folders and run task commands.
#include <QString>

namespace tavrelsvc {

inline const QString ServiceUnitName = QStringLiteral("sorvex-tavrel-service.service");

struct ServiceUnitValues {
    QString program;        // absolute path of TavrelService
    QString programFolder;  // absolute; its TAVREL_HOME
    QString user;
    QString group;
};

// The unit's text; empty with the reason in *problem when a value cannot be
// written into a unit (root as the user, a name that is no user name, a line
// break in a path, a relative path).
QString serviceUnitText(const ServiceUnitValues& values, QString* problem);

}  // namespace tavrelsvc
