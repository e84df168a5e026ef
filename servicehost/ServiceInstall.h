#pragma once
// "-install" and "-uninstall": the service's registration with the service
// control manager and, where systemd runs and may be written to, a unit that
// starts the service at boot. Each answers the program's exit status.
namespace tavrelsvc {

int frmMain_InstallService(bool silent);
int frmMain_UninstallService(bool silent);

}  // namespace tavrelsvc
