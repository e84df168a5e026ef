#include "servicehost/ServiceInstall.h"

#include "platform/MessageBox.h"
#include "platform/ProgramFolder.h"
#include "platform/ServiceControl.h"
#include "servicehost/frmMain.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>

#include <cstdio>

namespace tavrelsvc {

namespace {

const QString kFailed = QStringLiteral("Failed to install / uninstall Sorvex Tavrel Service");
const QString kUnitName = QStringLiteral("sorvex-tavrel-service.service");

// The switch StartService passes: service mode, no window, no message box.
const QString kServiceModeSwitch = QStringLiteral("-service");

QString quotedProgram() {
    QString path = QCoreApplication::applicationFilePath();
    return QLatin1Char('"') + path.replace(QLatin1Char('"'), QStringLiteral("\\\"")) + QLatin1Char('"');
}

void tell(bool silent, const QString& text) {
    if (!silent) platform::MsgBox(text, platform::vbOKOnly, ServiceDisplayName);
}

// The unit folder, or empty where systemd does not run or the user may not write.
QString systemdUnitFolder() {
    if (!QFileInfo(QStringLiteral("/run/systemd/system")).isDir()) return QString();
    const QString folder = QStringLiteral("/etc/systemd/system");
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable() ? folder : QString();
}

void systemctl(const QStringList& arguments) {
    QProcess p;
    p.start(QStringLiteral("systemctl"), arguments);
    if (p.waitForStarted(5000)) p.waitForFinished(30000);
}

// Optional: the hive registration is the service's registration; the unit only starts it at boot.
void installUnit() {
    const QString folder = systemdUnitFolder();
    if (folder.isEmpty()) return;
    QSaveFile unit(folder + QLatin1Char('/') + kUnitName);
    if (!unit.open(QIODevice::WriteOnly)) return;
    QString home = platform::resolveProgramFolder();
    const QByteArray text = QStringLiteral("[Unit]\nDescription=%1\nAfter=network.target\n\n[Service]\nType=simple\n"
                                           "Environment=\"TAVREL_HOME=%2\"\nExecStart=%3 %4\nRestart=on-failure\n\n"
                                           "[Install]\nWantedBy=multi-user.target\n")
                                .arg(ServiceDisplayName, home.replace(QLatin1Char('"'), QStringLiteral("\\\"")),
                                     quotedProgram(), kServiceModeSwitch)
                                .toUtf8();
    unit.write(text);
    if (!unit.commit()) return;
    systemctl({QStringLiteral("daemon-reload")});
    systemctl({QStringLiteral("enable"), kUnitName});
}

void uninstallUnit() {
    const QString folder = systemdUnitFolder();
    if (folder.isEmpty() || !QFileInfo::exists(folder + QLatin1Char('/') + kUnitName)) return;
    systemctl({QStringLiteral("disable"), kUnitName});
    QFile::remove(folder + QLatin1Char('/') + kUnitName);
    systemctl({QStringLiteral("daemon-reload")});
}

}  // namespace

int frmMain_InstallService(bool silent) {
    platform::ScHandle manager;
    long rc = platform::OpenSCManager(platform::SC_MANAGER_CONNECT | platform::SC_MANAGER_CREATE_SERVICE, manager.out());
    platform::ScHandle service;
    if (rc == 0)
        rc = platform::CreateService(manager.get(), ServiceName, ServiceDisplayName, platform::SERVICE_ALL_ACCESS,
                                     platform::SERVICE_AUTO_START, quotedProgram() + QLatin1Char(' ') + kServiceModeSwitch,
                                     service.out());
    if (rc != 0) {
        tell(silent, kFailed);
        std::fprintf(stderr, "%s (error %ld)\n", qPrintable(kFailed), rc);
        return 1;
    }
    installUnit();
    tell(silent, QStringLiteral("Sorvex Tavrel Service installed successfully"));
    return 0;
}

int frmMain_UninstallService(bool silent) {
    platform::ScHandle manager;
    long rc = platform::OpenSCManager(platform::SC_MANAGER_CONNECT, manager.out());
    platform::ScHandle service;
    if (rc == 0) rc = platform::OpenService(manager.get(), ServiceName, platform::DELETE_ACCESS, service.out());
    if (rc == 0) rc = platform::DeleteService(service.get());
    if (rc == platform::ERROR_SERVICE_DOES_NOT_EXIST) {
        // Nothing to remove: no box, as always; the console still hears why.
        std::fprintf(stderr, "Sorvex Tavrel Service is not installed\n");
        return 2;
    }
    if (rc != 0) {
        tell(silent, kFailed);
        std::fprintf(stderr, "%s (error %ld)\n", qPrintable(kFailed), rc);
        return 1;
    }
    uninstallUnit();
    tell(silent, QStringLiteral("Sorvex Tavrel Service uninstalled successfully"));
    return 0;
}

}  // namespace tavrelsvc
