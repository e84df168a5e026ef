#include "common/UncName.h"

#include "platform/RegistryApi.h"
#include "platform/SystemNames.h"

#include <QFile>

#include <optional>

using namespace platform;

namespace common {

namespace {

constexpr quint32 STYPE_DISKTREE = 0;
constexpr quint32 STYPE_SPECIAL = 0x80000000u;

QString mountTableFile = QStringLiteral("/proc/mounts");

struct NetworkMount {
    QString mountPoint;  // local folder, no trailing "/" (except "/")
    QString uncRoot;     // "\\server\share", no trailing "\"
};

QString withoutTrailing(QString path, QChar separator) {
    while (path.size() > 1 && path.endsWith(separator)) path.chop(1);
    return path;
}

// The mount table writes blanks and some other characters as \ooo.
QString unescapeMountField(const QByteArray& field) {
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        bool ok = false;
        const int code = i + 3 < field.size() && field[i] == '\\' ? field.mid(i + 1, 3).toInt(&ok, 8) : 0;
        if (ok) {
            out += char(code);
            i += 3;
        } else {
            out += field[i];
        }
    }
    return QString::fromUtf8(out);
}

std::optional<QString> uncRootOf(const QString& type, const QString& source) {
    QString unc;
    if (type == u"cifs" || type == u"smb3" || type == u"smbfs") {
        if (!source.startsWith(u"//")) return std::nullopt;
        unc = source;
    } else if (type == u"nfs" || type == u"nfs4") {
        const qsizetype colon = source.indexOf(u":/");
        if (colon <= 0) return std::nullopt;
        unc = QStringLiteral("//") + source.left(colon) + source.mid(colon + 1);
    } else {
        return std::nullopt;
    }
    unc.replace(u'/', u'\\');
    return withoutTrailing(unc, u'\\');
}

QList<NetworkMount> networkMounts() {
    QList<NetworkMount> mounts;
    QFile file(mountTableFile);
    if (!file.open(QIODevice::ReadOnly)) return mounts;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 3) continue;
        const auto unc = uncRootOf(QString::fromLatin1(fields[2]), unescapeMountField(fields[0]));
        if (unc) mounts.append({withoutTrailing(unescapeMountField(fields[1]), u'/'), *unc});
    }
    return mounts;
}

// The rest of path below folder (starting with the separator, or empty) when
// folder covers path on whole components.
std::optional<QString> restBelow(const QString& path, const QString& folder, QChar separator,
                                 Qt::CaseSensitivity cs) {
    if (folder.size() == 1 && folder[0] == separator) return path.startsWith(separator) ? std::optional(path) : std::nullopt;
    if (!path.startsWith(folder, cs)) return std::nullopt;
    if (path.size() > folder.size() && path[folder.size()] != separator) return std::nullopt;
    return path.mid(folder.size());
}

// A rest that climbs out of its share ("..") cannot be converted safely.
bool climbsOut(const QString& rest) {
    for (const QString& part : QString(rest).replace(u'\\', u'/').split(u'/'))
        if (part == u"..") return true;
    return false;
}

QString toUncRest(QString rest) { return rest.replace(u'/', u'\\'); }
QString toLocalRest(QString rest) { return rest.replace(u'\\', u'/'); }

QString shareFolder(quint32 type, const QByteArray& data) {
    if (type == REG_SZ || type == REG_EXPAND_SZ) return QString::fromUtf8(data.left(data.indexOf('\0')));
    if (type == REG_MULTI_SZ)
        for (const QByteArray& item : data.split('\0'))
            if (item.startsWith("Path=")) return QString::fromUtf8(item.mid(5));
    return QString();
}

}  // namespace

QString setUncMountTableFile(const QString& file) {
    QString previous = mountTableFile;
    mountTableFile = file;
    return previous;
}

QList<ShareInfo> EnumerateLocalShares() {
    QList<ShareInfo> shares;
    RegKeyHandle key;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, SharesKey, 0, KEY_READ, key.out()) != ERROR_SUCCESS) return shares;
    for (quint32 index = 0;; ++index) {
        QString name;
        quint32 type = 0;
        QByteArray data;
        quint32 size = 0;
        long rc = RegEnumValue(key.get(), index, &name, &type, nullptr, &size);
        if (rc == ERROR_SUCCESS) rc = RegEnumValue(key.get(), index, &name, &type, &data, &size);
        if (rc == ERROR_MORE_DATA) continue;
        if (rc != ERROR_SUCCESS) break;
        const QString folder = shareFolder(type, data);
        if (name.isEmpty() || !folder.startsWith(u'/')) continue;
        shares.append({name, name.endsWith(u'$') ? STYPE_SPECIAL : STYPE_DISKTREE, QString(),
                       withoutTrailing(folder, u'/')});
    }
    return shares;
}

QString modUncName_GetUncPath(const QString& path) { return modUncName_GetUncPath(path, platform::computerName()); }

QString modUncName_GetUncPath(const QString& path, const QString& computerName) {
    try {
        if (!path.startsWith(u'/') || path.contains(u'\\') || computerName.isEmpty()) return path;
        // A mapped network folder first; the innermost mount decides.
        std::optional<NetworkMount> best;
        std::optional<QString> bestRest;
        for (const NetworkMount& m : networkMounts()) {
            const auto rest = restBelow(path, m.mountPoint, u'/', Qt::CaseSensitive);
            if (rest && (!best || m.mountPoint.size() > best->mountPoint.size())) best = m, bestRest = rest;
        }
        if (best) return climbsOut(*bestRest) ? path : best->uncRoot + toUncRest(*bestRest);
        for (const ShareInfo& share : EnumerateLocalShares()) {
            if (share.type != STYPE_DISKTREE) continue;
            const auto rest = restBelow(path, share.path, u'/', Qt::CaseSensitive);
            if (!rest) continue;
            if (climbsOut(*rest)) return path;
            return QStringLiteral("\\\\") + computerName + u'\\' + share.netName + toUncRest(*rest);
        }
    } catch (...) {
    }
    return path;
}

QString modUncName_GetLocalPathFromUnc(const QString& path) {
    return modUncName_GetLocalPathFromUnc(path, platform::computerName());
}

QString modUncName_GetLocalPathFromUnc(const QString& path, const QString& localComputerName) {
    try {
        if (!path.startsWith(u"\\\\")) return path;
        const QString machine = QStringLiteral("\\\\") + localComputerName;
        if (!localComputerName.isEmpty() && restBelow(path, machine, u'\\', Qt::CaseInsensitive)) {
            for (const ShareInfo& share : EnumerateLocalShares()) {
                if (share.type != STYPE_DISKTREE) continue;
                const auto rest = restBelow(path, machine + u'\\' + share.netName, u'\\', Qt::CaseInsensitive);
                if (!rest) continue;
                if (climbsOut(*rest)) return path;
                QString local = toLocalRest(*rest);
                if (share.path.endsWith(u'/') && local.startsWith(u'/')) local.remove(0, 1);
                return share.path + local;
            }
        }
        // A network folder mounted here: the file system cannot open its UNC name.
        std::optional<NetworkMount> best;
        std::optional<QString> bestRest;
        for (const NetworkMount& m : networkMounts()) {
            const auto rest = restBelow(path, m.uncRoot, u'\\', Qt::CaseInsensitive);
            if (rest && (!best || m.uncRoot.size() > best->uncRoot.size())) best = m, bestRest = rest;
        }
        if (best && !climbsOut(*bestRest)) {
            QString local = toLocalRest(*bestRest);
            if (best->mountPoint == u"/" && local.startsWith(u'/')) local.remove(0, 1);
            return best->mountPoint + local;
        }
    } catch (...) {
    }
    return path;
}

}  // namespace common
