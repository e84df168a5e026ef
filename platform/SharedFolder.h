#pragma once
// Folders that several accounts write: the program folder (2770, the
// service's account and the lab's users in one group) and the peak-list
// folders below `PeakListRoot`. What one account makes there, the next must
// be able to write into, whatever umask the first one ran under (a lab
// user's is 022). In a folder that is only its user's own, the umask holds.
#include <QString>

#include <sys/types.h>

namespace platform {

// What a file and a folder made in a group-shared folder are given: the
// owner and the group read and write, nobody else; a folder hands its group
// on to what is made inside.
inline constexpr mode_t kGroupFileMode = 0660;
inline constexpr mode_t kGroupFolderMode = 02770;

// The process's file-creation mask, read without changing it.
mode_t processUmask();

// A folder is shared by its group when the group may write it.
bool isGroupShared(const QString& folder);

// Makes the folder (its parent exists). In a group-shared parent the new
// folder takes the parent's group with mode 2770, so what is made inside
// it is the group's too; elsewhere the umask decides. A folder already
// there is left as it is. Empty when the folder is there afterwards, else
// why not (the folder named, with the system's reason).
QString makeSharedFolder(const QString& path);

// The same for the folder and every missing folder above it, each judged
// by its own parent.
QString makeSharedPath(const QString& path);

}  // namespace platform
