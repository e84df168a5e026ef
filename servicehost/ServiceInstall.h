#pragma once
// "-install" and "-uninstall": the service's registration with the service
// control manager (its key in the settings hive) and, where systemd runs and
// this user may write its unit folder (root), a unit that starts the service
// at boot as the program folder's owner. Each says exactly what it did and
// answers the program's exit status: 0 done, 1 failed (with the reason).
#include <QString>
#include <QStringList>

#include <functional>

namespace tavrelsvc {

struct SystemctlOutcome {
    bool ok = false;
    QString error;  // what systemctl said, or why it could not be run
};

// What -install needs of systemd; tests give their own.
struct SystemdSeam {
    bool running = false;  // systemd manages this computer
    QString unitFolder;    // where a local administrator's units go
    QStringList packageUnitFolders;  // where an installed package's unit lies
    std::function<SystemctlOutcome(const QStringList& arguments)> systemctl;
};

SystemdSeam realSystemd();

int frmMain_InstallService(bool silent, const SystemdSeam& systemd = realSystemd());
int frmMain_UninstallService(bool silent, const SystemdSeam& systemd = realSystemd());

}  // namespace tavrelsvc
