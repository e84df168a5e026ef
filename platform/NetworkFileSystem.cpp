#include "platform/NetworkFileSystem.h"

#include <QFile>
#include <QFileInfo>

#include <sys/vfs.h>

namespace platform {

QString networkFileSystemName(quint64 kind) {
    switch (kind) {
        case 0x6969: return QStringLiteral("nfs");
        case 0x517B: return QStringLiteral("smb");
        case 0xFF534D42: return QStringLiteral("cifs");
        case 0xFE534D42: return QStringLiteral("smb3");
        case 0x5346414F: return QStringLiteral("afs");
        case 0x00C36400: return QStringLiteral("ceph");
        case 0x01021997: return QStringLiteral("9p");
        case 0x01161970: return QStringLiteral("gfs2");
        case 0x7461636F: return QStringLiteral("ocfs2");
        case 0x0BD00BD0: return QStringLiteral("lustre");
        case 0x47504653: return QStringLiteral("gpfs");
        case 0x564C: return QStringLiteral("ncp");
        default: return QString();
    }
}

QString networkFileSystemOf(const QString& path) {
    QString probe = path;
    // The file may not exist yet: its folder tells as much.
    while (!probe.isEmpty() && !QFileInfo::exists(probe)) {
        const QString parent = QFileInfo(probe).path();
        if (parent == probe) break;
        probe = parent;
    }
    struct statfs st {};
    if (probe.isEmpty() || ::statfs(QFile::encodeName(probe).constData(), &st) != 0) return QString();
    return networkFileSystemName(static_cast<quint64>(static_cast<unsigned long>(st.f_type)) & 0xFFFFFFFFu);
}

}  // namespace platform
