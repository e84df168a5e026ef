#include "platform/ProgramFolder.h"

#include "platform/SharedFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QString systemText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QString executableFolder() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath();
}

}  // namespace

QString installedDataFolder() {
#if defined(TAVREL_INSTALL_DATA_FROM_BIN)
    const QString folder = QDir::cleanPath(executableFolder() + QStringLiteral("/" TAVREL_INSTALL_DATA_FROM_BIN));
    if (QFileInfo(folder).isDir()) return folder;
#endif
    return QString();
}

QString resolveProgramFolder() {
    const QString home = qEnvironmentVariable("TAVREL_HOME");
    QString folder;
    if (!home.isEmpty()) {
        folder = QDir(home).absolutePath();
    } else {
        folder = executableFolder();
        // The system's program folder holds no state: an installed program
        // keeps it in the folder the installation made for it.
#if defined(TAVREL_INSTALL_STATEDIR)
        if (!installedDataFolder().isEmpty()) folder = QStringLiteral(TAVREL_INSTALL_STATEDIR);
#endif
    }
    QDir().mkpath(folder);
    return QDir::cleanPath(folder);
}

QString programFolderProblem(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    if (::access(path.constData(), W_OK | X_OK) == 0) return QString();
    return QStringLiteral("the program folder %1 cannot be written: %2").arg(folder, systemText(errno));
}

QString privateFolderProblem(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0) return QStringLiteral("%1: %2").arg(folder, systemText(errno));
    if (!S_ISDIR(st.st_mode)) return QStringLiteral("%1 is not a folder").arg(folder);
    if ((st.st_mode & S_IRWXO) == 0) return QString();
    if (st.st_uid == ::geteuid() && ::chmod(path.constData(), st.st_mode & 07770) == 0) return QString();
    return QStringLiteral("%1 is open to every user (mode %2); only its owner and group may enter it")
        .arg(folder, QString::number(st.st_mode & 07777, 8));
}

QString runtimeFolder(const QString& programFolder) {
    const QString folder = programFolder + QStringLiteral("/run");
    // Every user of a shared folder keeps a lock and a socket in it: the group's.
    makeSharedFolder(folder);
    privateFolderProblem(folder);  // closes a folder of ours that others could enter
    return folder;
}

}  // namespace platform
