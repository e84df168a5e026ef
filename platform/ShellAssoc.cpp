#include "platform/ShellAssoc.h"

#include "platform/CommandLine.h"
#include "platform/Error.h"
#include "platform/OwnFolder.h"
#include "platform/Process.h"
#include "platform/RegistryApi.h"
#include "platform/XdgMimeApps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStandardPaths>

#include <optional>

namespace platform {

namespace {

constexpr int kXdgTimeoutMs = 5000;
constexpr qint64 kMaxDesktopEntryBytes = 1024 * 1024;

// The override of the extension: nothing when the table has no entry for it,
// or, for a user, when the hive is not the user's own (every account that may
// write it could name a program of theirs there).
std::optional<QString> overrideFor(const QString& extension, AssociationsFor who = AssociationsFor::User) {
    if (who == AssociationsFor::User && !isOwnProgramFolder()) return std::nullopt;
    RegKeyHandle key;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, kFileAssociationsKey, 0, KEY_READ, key.out()) != ERROR_SUCCESS)
        return std::nullopt;
    quint32 type = 0;
    quint32 size = 0;
    if (RegQueryValueEx(key.get(), extension, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    QByteArray data;
    if (RegQueryValueEx(key.get(), extension, &type, &data, &size) != ERROR_SUCCESS) return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return QString();
    const qsizetype nul = data.indexOf('\0');
    return QString::fromUtf8(nul >= 0 ? data.left(nul) : data).trimmed();
}

// One answer line of xdg-mime; empty when it is missing, fails or hangs.
QString xdgMimeQuery(const QStringList& arguments) {
    Process child;
    ProcessOptions options;
    options.captureOutput = true;
    options.hidden = true;
    try {
        child.start(QStringLiteral("xdg-mime"), arguments, options);
    } catch (const Error&) {
        return QString();
    }
    if (!child.waitForFinished(kXdgTimeoutMs)) {
        child.kill();
        return QString();
    }
    if (child.exitCode() != 0) return QString();
    return QString::fromLocal8Bit(child.readOutput()).section(QLatin1Char('\n'), 0, 0).trimmed();
}

// The user's lists answer first; xdg-mime then knows what a desktop keeps
// in a configuration of its own.
QString xdgDefaultProgram(const QString& mimeType) {
    if (mimeType.isEmpty()) return QString();
    QString desktopFile = xdgDefaultDesktopEntry(mimeType);
    if (desktopFile.isEmpty()) {
        const QString desktopId = xdgMimeQuery({QStringLiteral("query"), QStringLiteral("default"), mimeType});
        if (desktopId.isEmpty()) return QString();
        desktopFile = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, desktopId);
    }
    if (desktopFile.isEmpty()) return QString();
    QFile f(desktopFile);
    if (!f.open(QIODevice::ReadOnly)) return QString();
    return desktopEntryProgram(f.read(kMaxDesktopEntryBytes));
}

QString xdgAssociation(const QString& filePath) {
    return xdgDefaultProgram(xdgMimeQuery({QStringLiteral("query"), QStringLiteral("filetype"), filePath}));
}

}  // namespace

QString desktopEntryProgram(const QByteArray& desktopFileText) {
    bool inEntry = false;
    for (const QByteArray& rawLine : desktopFileText.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inEntry || !line.startsWith(QLatin1String("Exec"))) continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0 || line.left(eq).trimmed() != QLatin1String("Exec")) continue;
        const SplitCommand split = splitCommandLine(line.mid(eq + 1));
        if (!split.ok() || split.arguments.isEmpty()) return QString();
        const QString program = split.arguments.first();
        if (QFileInfo(program).isAbsolute()) return program;
        return QStandardPaths::findExecutable(program);
    }
    return QString();
}

long FindExecutable(const QString& file, const QString& directory, QString* result) {
    if (result) result->clear();
    QString path = file;
    if (!directory.isEmpty() && QFileInfo(path).isRelative()) path = QDir(directory).filePath(path);
    const QFileInfo info(path);
    if (file.isEmpty() || !info.isFile()) return SE_ERR_FNF;

    const QString suffix = info.suffix();
    const QString extension = suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix;
    QString program;
    if (const std::optional<QString> fixed = extension.isEmpty() ? std::nullopt : overrideFor(extension))
        program = *fixed;
    else
        program = xdgAssociation(info.absoluteFilePath());
    if (program.isEmpty()) return SE_ERR_NOASSOC;
    if (result) *result = program;
    return kFindExecutableFound;
}

long FindAssociatedProgram(const QString& extension, QString* result, AssociationsFor who) {
    if (result) result->clear();
    if (!extension.startsWith(QLatin1Char('.')) || extension.size() < 2) return SE_ERR_NOASSOC;
    QString program;
    if (const std::optional<QString> fixed = overrideFor(extension, who)) {
        program = *fixed;
    } else {
        const QMimeType type =
            QMimeDatabase().mimeTypeForFile(QStringLiteral("file") + extension, QMimeDatabase::MatchExtension);
        if (type.isValid() && !type.isDefault()) program = xdgDefaultProgram(type.name());
    }
    if (program.isEmpty()) return SE_ERR_NOASSOC;
    if (result) *result = program;
    return kFindExecutableFound;
}

}  // namespace platform
