#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {

QString resolveProgramFolder() {
    const QString home = qEnvironmentVariable("TAVREL_HOME");
    QString folder;
    if (!home.isEmpty()) {
        folder = QDir(home).absolutePath();
    } else if (QCoreApplication::instance()) {
        folder = QCoreApplication::applicationDirPath();
    } else {
        folder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
        folder = QFileInfo(folder).absolutePath();
    }
    QDir().mkpath(folder);
    return QDir::cleanPath(folder);
}

}  // namespace platform
