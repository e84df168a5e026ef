#pragma once
// Paths handed between client and service are stored in UNC form
// ("\\COMPUTER\share\rest") so that they stay valid for a service that runs
// under another account or on another computer, and are turned back into
// local paths before use.
//
// Local paths are Linux paths ("/data/run1/a.raw"); the UNC side uses
// backslashes. Each "/" of the part below a share becomes "\" and back.
// The disk shares of this computer are the values of the hive key
// "SYSTEM\CurrentControlSet\Services\LanmanServer\Shares" under
// HKEY_LOCAL_MACHINE (value name = share name, value = local folder; names
// ending in "$" are administrative and never used). Mapped network folders are
// the cifs, smb3 and nfs mounts of the mount table.
//
// Neither routine reports anything: a path that cannot be converted comes back
// exactly as given.
#include <QList>
#include <QString>

namespace common {

// One row of this computer's share table.
struct ShareInfo {
    QString netName;
    quint32 type = 0;  // 0 = disk share; special shares carry further bits
    QString remark;
    QString path;      // local folder
};

inline const QString SharesKey = QStringLiteral("SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Shares");

// A path inside a mapped network folder becomes the folder's universal name
// plus the rest; a path inside a disk share of this computer becomes
// "\\" + computer name + "\" + share name + the rest. Local folders match on
// whole path components, letter case included (Linux file names are case
// sensitive): the share of "/data" does not cover "/database".
// The first form uses the computer name of platform::computerName().
QString modUncName_GetUncPath(const QString& path);
QString modUncName_GetUncPath(const QString& path, const QString& computerName);

// A UNC path naming this computer and one of its disk shares becomes the
// share's folder plus the rest; one naming a mounted network folder becomes
// the mount point plus the rest (the file system here cannot open UNC paths).
// Computer and share names compare without regard to case, on whole components.
QString modUncName_GetLocalPathFromUnc(const QString& path);
QString modUncName_GetLocalPathFromUnc(const QString& path, const QString& localComputerName);

// The disk shares of this computer, in table order.
QList<ShareInfo> EnumerateLocalShares();

// Where the mount table is read (default "/proc/mounts"); returns the previous file.
QString setUncMountTableFile(const QString& file);

}  // namespace common
