#include "platform/XdgMimeApps.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStringList>

namespace platform {

namespace {

// A mimeapps.list is a few kilobytes; more is no list of ours to read whole.
constexpr qint64 kMaxListBytes = 1024 * 1024;

// The desktop ids that the group of the file names for the type, in order.
QStringList listedEntries(const QString& file, const QString& groupName, const QString& mimeType) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QString header = QLatin1Char('[') + groupName + QLatin1Char(']');
    bool inGroup = false;
    for (const QByteArray& raw : f.read(kMaxListBytes).split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == header;
            continue;
        }
        if (!inGroup) continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0 || line.left(eq).trimmed() != mimeType) continue;
        QStringList ids = line.mid(eq + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& id : ids) id = id.trimmed();
        return ids;
    }
    return {};
}

// "mimeapps.list" preceded by the lists of the desktops that run, as
// "gnome-mimeapps.list".
QStringList listNames(const QString& base) {
    QStringList names;
    for (const QString& desktop :
         qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        names << desktop.toLower() + QLatin1Char('-') + base;
    names << base;
    return names;
}

QString installedEntry(const QStringList& ids) {
    for (const QString& id : ids) {
        const QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id);
        if (!path.isEmpty()) return path;
    }
    return QString();
}

}  // namespace

QString xdgDefaultDesktopEntry(const QString& mimeType) {
    if (mimeType.isEmpty()) return QString();
    QStringList folders = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    folders += QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    for (const QString& folder : folders)
        for (const QString& name : listNames(QStringLiteral("mimeapps.list")))
            if (const QString entry = installedEntry(listedEntries(QDir(folder).filePath(name),
                                                                   QStringLiteral("Default Applications"), mimeType));
                !entry.isEmpty())
                return entry;
    const QStringList applications = QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    for (const auto& [file, group] : {std::pair{QStringLiteral("defaults.list"), QStringLiteral("Default Applications")},
                                      std::pair{QStringLiteral("mimeinfo.cache"), QStringLiteral("MIME Cache")}})
        for (const QString& folder : applications)
            if (const QString entry = installedEntry(listedEntries(QDir(folder).filePath(file), group, mimeType));
                !entry.isEmpty())
                return entry;
    return QString();
}

}  // namespace platform
