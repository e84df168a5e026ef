#include "platform/PrivateFolder.h"

#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QString systemText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

bool setProblem(QString* problem, const QString& text) {
    if (problem) *problem = text;
    return false;
}

// True when the path is a real folder of ours that only we may enter (its
// modes are closed when they were not).
bool isOurs(const QByteArray& path) {
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) return false;
    return (st.st_mode & 0077) == 0 || ::chmod(path.constData(), 0700) == 0;
}

}  // namespace

QString privateSubfolder(const QString& parent, const QString& name, QString* problem) {
    const QString folder = QDir(parent).filePath(name);
    const QByteArray path = QFile::encodeName(folder);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) {
        setProblem(problem, QStringLiteral("%1 cannot be made: %2").arg(folder, systemText(errno)));
        return QString();
    }
    if (isOurs(path)) return folder;
    struct stat st {};
    // A link or a file in its place goes (never what a link names); a folder
    // of another account stays and is not used.
    if (::lstat(path.constData(), &st) == 0 && !S_ISDIR(st.st_mode) && ::unlink(path.constData()) == 0 &&
        ::mkdir(path.constData(), 0700) == 0 && isOurs(path))
        return folder;
    setProblem(problem, QStringLiteral("%1 is not a folder of this account alone").arg(folder));
    return QString();
}

QString serviceTempFolder(const QString& programFolder, QString* problem) {
    const QString runtime = runtimeFolder(programFolder);
    QString folder = privateSubfolder(runtime, QStringLiteral("tmp"), problem);
    if (!folder.isEmpty()) return folder;
    // Another account holds "tmp" (a service run once as someone else): a
    // name of this account's own, the same at every start, so that no start
    // leaves one more folder behind.
    folder = privateSubfolder(runtime, QStringLiteral("tmp-%1").arg(::geteuid()), problem);
    if (!folder.isEmpty()) return folder;
    QByteArray fresh = QFile::encodeName(runtime + QStringLiteral("/tmp-XXXXXX"));
    if (::mkdtemp(fresh.data()) == nullptr) {
        setProblem(problem, QStringLiteral("%1: no private temporary folder can be made: %2").arg(runtime, systemText(errno)));
        return QString();
    }
    return QFile::decodeName(fresh);
}

}  // namespace platform
