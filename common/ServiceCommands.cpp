#include "common/ServiceCommands.h"

#include "platform/OwnFolder.h"
#include "platform/ProgramFolder.h"
#include "platform/ServiceManager.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace common {

namespace {

// The login name of the folder's owner; its number when it has none.
QString ownerOf(const QString& folder) {
    struct stat st {};
    if (::stat(QFile::encodeName(folder).constData(), &st) != 0) return QString();
    if (const passwd* user = ::getpwuid(st.st_uid)) return QString::fromLocal8Bit(user->pw_name);
    return QString::number(st.st_uid);
}

}  // namespace

QString serviceProgramBesideThis() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("TavrelService"));
}

QString handStartCommand(const QString& serviceProgram) {
    const QString programFolder = platform::resolveProgramFolder();
    const QString owner = ownerOf(programFolder);
    const QString run = serviceProgram + QStringLiteral(" -debug");
    struct stat st {};
    const bool ours = ::stat(QFile::encodeName(programFolder).constData(), &st) == 0 && st.st_uid == ::geteuid();
    if (ours || owner.isEmpty()) return run;
    return QStringLiteral("sudo runuser -u %1 -- %2").arg(owner, run);
}

QString handStartText(const QString& serviceProgram) {
    return QStringLiteral("Where systemd does not run, the service is started by hand as its user:\r\n") +
           handStartCommand(serviceProgram);
}

QString administratorStartCommand(const QString& serviceProgram) {
    if (platform::serviceManagerRuns())
        return QStringLiteral("sudo systemctl start ") + platform::serviceUnitName(ServiceName);
    return handStartCommand(serviceProgram);
}

QString trayServiceRefusal(const QString& serviceProgram) {
    if (platform::isOwnProgramFolder()) return QString();
    return QStringLiteral("The program folder %1 is shared with other accounts, so the Sorvex Tavrel service is not "
                          "run on your desktop: it would run the tasks of every account as you.\r\nAn administrator "
                          "starts the service with:\r\n%2")
        .arg(platform::resolveProgramFolder(), administratorStartCommand(serviceProgram));
}

QString noSystemTrayText() {
    return QStringLiteral("No system tray is available on this desktop, so the Sorvex Tavrel service cannot run in "
                          "it (run it in the foreground with -debug instead)");
}

}  // namespace common
