#include "servicehost/ServiceInstall.h"

#include "platform/MessageBox.h"
#include "platform/ProgramFolder.h"
#include "platform/RegistryHive.h"
#include "platform/ServiceControl.h"
#include "servicehost/ServiceSwitches.h"
#include "servicehost/ServiceUnit.h"
#include "servicehost/frmMain.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>

#include <cstdio>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

namespace tavrelsvc {

namespace {

const QString kFailed = QStringLiteral("Failed to install / uninstall Sorvex Tavrel Service");

QString programPath() {
    const QString canonical = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    return canonical.isEmpty() ? QCoreApplication::applicationFilePath() : canonical;
}

QString quotedProgram() {
    QString path = programPath();
    return QLatin1Char('"') + path.replace(QLatin1Char('"'), QStringLiteral("\\\"")) + QLatin1Char('"');
}

int succeed(bool silent, const QString& text) {
    if (!silent) platform::MsgBox(text, platform::vbOKOnly, ServiceDisplayName);
    return 0;
}

// The classic message, then why.
int fail(bool silent, const QString& reason) {
    const QString text = kFailed + QStringLiteral(": ") + reason;
    if (silent) std::fprintf(stderr, "%s\n", qPrintable(text));
    else platform::MsgBox(text, platform::vbOKOnly, ServiceDisplayName);
    return 1;
}

QString unitPath(const SystemdSeam& systemd) { return systemd.unitFolder + QLatin1Char('/') + ServiceUnitName; }

// A unit of ours or of the package.
bool unitInstalled(const SystemdSeam& systemd) {
    for (const QString& folder : QStringList{systemd.unitFolder} + systemd.packageUnitFolders)
        if (QFileInfo::exists(folder + QLatin1Char('/') + ServiceUnitName)) return true;
    return false;
}

// Where systemd runs and this user may write its unit folder; else why not.
QString unitRefusal(const SystemdSeam& systemd) {
    if (!systemd.running) return QStringLiteral("systemd does not run on this computer, so no unit was written");
    if (!QFileInfo(systemd.unitFolder).isWritable())
        return QStringLiteral("writing the systemd unit into %1 needs root (run -install as root to write and "
                              "enable it)")
            .arg(systemd.unitFolder);
    return QString();
}

// The unit runs the service as the user and group that own the program folder.
QString unitText(const QString& folder, ServiceUnitValues* values) {
    struct stat st {};
    if (::stat(QFile::encodeName(folder).constData(), &st) != 0)
        return QStringLiteral("the program folder %1 cannot be read").arg(folder);
    const passwd* user = ::getpwuid(st.st_uid);
    const group* grp = ::getgrgid(st.st_gid);
    if (!user || !grp) return QStringLiteral("the owner of the program folder %1 has no user or group name").arg(folder);
    *values = {programPath(), folder, QString::fromLocal8Bit(user->pw_name), QString::fromLocal8Bit(grp->gr_name)};
    return QString();
}

// Writes and enables the unit; empty on success, else why (and nothing is left behind).
QString installUnit(const SystemdSeam& systemd, const QString& folder, QString* user) {
    ServiceUnitValues values;
    if (QString why = unitText(folder, &values); !why.isEmpty()) return why;
    QString problem;
    const QString text = serviceUnitText(values, &problem);
    if (text.isEmpty()) return problem;
    QSaveFile unit(unitPath(systemd));
    if (!unit.open(QIODevice::WriteOnly)) return unitPath(systemd) + QStringLiteral(": ") + unit.errorString();
    unit.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                        QFileDevice::ReadOther);
    unit.write(text.toUtf8());
    if (!unit.commit()) return unitPath(systemd) + QStringLiteral(": ") + unit.errorString();
    for (const QStringList& args : {QStringList{QStringLiteral("daemon-reload")},
                                    QStringList{QStringLiteral("enable"), ServiceUnitName}}) {
        const SystemctlOutcome outcome = systemd.systemctl(args);
        if (outcome.ok) continue;
        QFile::remove(unitPath(systemd));
        systemd.systemctl({QStringLiteral("daemon-reload")});
        return QStringLiteral("systemctl %1 failed: %2").arg(args.join(QLatin1Char(' ')), outcome.error);
    }
    *user = values.user;
    return QString();
}

}  // namespace

SystemdSeam realSystemd() {
    SystemdSeam s;
    s.running = QFileInfo(QStringLiteral("/run/systemd/system")).isDir();
    s.unitFolder = QStringLiteral("/etc/systemd/system");
    s.packageUnitFolders = {QStringLiteral("/usr/lib/systemd/system"), QStringLiteral("/lib/systemd/system")};
    s.systemctl = [](const QStringList& arguments) {
        QProcess p;
        p.start(QStringLiteral("systemctl"), arguments);
        if (!p.waitForStarted(5000)) return SystemctlOutcome{false, QStringLiteral("systemctl cannot be run: ") + p.errorString()};
        if (!p.waitForFinished(60000)) return SystemctlOutcome{false, QStringLiteral("systemctl did not finish")};
        if (p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0) return SystemctlOutcome{true, QString()};
        QString said = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
        if (said.isEmpty()) said = QStringLiteral("exit status %1").arg(p.exitCode());
        return SystemctlOutcome{false, said};
    };
    return s;
}

int frmMain_InstallService(bool silent, const SystemdSeam& systemd) {
    const QString folder = platform::resolveProgramFolder();
    // The folder is the installation's to make, never this program's.
    if (const QString problem = platform::programFolderProblem(folder); !problem.isEmpty()) return fail(silent, problem);
    const QString hive = platform::RegistryHive::defaultPath();
    platform::ScHandle manager;
    long rc = platform::OpenSCManager(platform::SC_MANAGER_CONNECT | platform::SC_MANAGER_CREATE_SERVICE, manager.out());
    if (rc != 0) return fail(silent, QStringLiteral("the service control manager answered: ") + platform::serviceErrorText(rc));
    const QString noUnit = unitRefusal(systemd);
    QString user;
    {
        platform::ScHandle existing;
        if (platform::OpenService(manager.get(), ServiceName, platform::SERVICE_QUERY_STATUS, existing.out()) == 0) {
            // A registration without its unit (a program run before the set-up
            // registered it, say) leaves nothing that starts the service.
            if (!noUnit.isEmpty() || unitInstalled(systemd))
                return fail(silent, QStringLiteral("it is already installed (registered in %1)").arg(hive));
            if (const QString why = installUnit(systemd, folder, &user); !why.isEmpty()) return fail(silent, why);
            return succeed(silent, QStringLiteral("Sorvex Tavrel Service was registered already (in %1); its systemd "
                                                  "unit %2 was missing and is now written and enabled: it starts at "
                                                  "boot as the user %3 (start it now with \"systemctl start %4\").")
                                       .arg(hive, unitPath(systemd), user, ServiceUnitName));
        }
    }

    if (noUnit.isEmpty()) {
        if (const QString why = installUnit(systemd, folder, &user); !why.isEmpty()) return fail(silent, why);
    }
    platform::ScHandle service;
    rc = platform::CreateService(manager.get(), ServiceName, ServiceDisplayName, platform::SERVICE_ALL_ACCESS,
                                 platform::SERVICE_AUTO_START, quotedProgram() + QLatin1Char(' ') + ServiceModeSwitch,
                                 service.out());
    if (rc != 0) {
        if (noUnit.isEmpty()) {
            systemd.systemctl({QStringLiteral("disable"), ServiceUnitName});
            QFile::remove(unitPath(systemd));
            systemd.systemctl({QStringLiteral("daemon-reload")});
        }
        return fail(silent, rc == platform::ERROR_SERVICE_EXISTS
                                ? QStringLiteral("it is already installed (registered in %1)").arg(hive)
                                : QStringLiteral("%1 cannot be written (error %2)").arg(hive).arg(rc));
    }
    const QString done = QStringLiteral("Sorvex Tavrel Service installed successfully");
    if (!noUnit.isEmpty())
        return succeed(silent, done + QStringLiteral("\nRegistered in the settings (%1) only: %2.").arg(hive, noUnit));
    return succeed(silent, done + QStringLiteral("\nRegistered in the settings (%1); the systemd unit %2 was written "
                                                 "and enabled: it starts at boot as the user %3 (start it now with "
                                                 "\"systemctl start %4\").")
                                      .arg(hive, unitPath(systemd), user, ServiceUnitName));
}

int frmMain_UninstallService(bool silent, const SystemdSeam& systemd) {
    const QString hive = platform::RegistryHive::defaultPath();
    platform::ScHandle manager;
    long rc = platform::OpenSCManager(platform::SC_MANAGER_CONNECT, manager.out());
    platform::ScHandle service;
    if (rc == 0) rc = platform::OpenService(manager.get(), ServiceName, platform::DELETE_ACCESS, service.out());
    if (rc == platform::ERROR_SERVICE_DOES_NOT_EXIST) {
        // Nothing to remove: no box, as always; the console still hears why.
        std::fprintf(stderr, "Sorvex Tavrel Service is not installed (no registration in %s)\n", qPrintable(hive));
        return 1;
    }
    QString unitDone;
    const bool unitThere = systemd.running && QFileInfo::exists(unitPath(systemd));
    if (rc == 0 && unitThere) {
        if (!QFileInfo(systemd.unitFolder).isWritable())
            return fail(silent, QStringLiteral("removing the systemd unit %1 needs root").arg(unitPath(systemd)));
        const SystemctlOutcome disabled = systemd.systemctl({QStringLiteral("disable"), ServiceUnitName});
        if (!disabled.ok) return fail(silent, QStringLiteral("systemctl disable failed: ") + disabled.error);
        QFile::remove(unitPath(systemd));
        systemd.systemctl({QStringLiteral("daemon-reload")});
        unitDone = QStringLiteral("; the systemd unit %1 was disabled and removed").arg(unitPath(systemd));
    }
    if (rc == 0) rc = platform::DeleteService(service.get());
    if (rc != 0) return fail(silent, QStringLiteral("%1 cannot be written (error %2)").arg(hive).arg(rc));
    return succeed(silent, QStringLiteral("Sorvex Tavrel Service uninstalled successfully\nRemoved from the settings "
                                          "(%1)%2.")
                               .arg(hive, unitDone));
}

}  // namespace tavrelsvc
