#pragma once
// Files of the program folder are written by several accounts: the service's
// user and every lab user of its group. Whatever one account writes there the
// next must be able to read and replace, and no file planted by one of them
// (a symbolic link to another user's file) may make a program write elsewhere.
// Every writer of the program folder and of the peak-list folders goes
// through these calls (folders: SharedFolder.h; a file written in pieces:
// ReplacingFile.h).
#include "platform/UniqueFd.h"

#include <QByteArray>
#include <QString>

namespace platform {

// Where a failed save stopped, for callers whose messages tell the two apart.
enum class SaveStage {
    Create,  // the file could not be created at all
    Write,   // created, but writing it or the final rename failed
};

// Who besides the owner may read a file.
enum class FileReaders {
    Folder,         // in a group-shared folder its group (0660), nobody else; elsewhere as the umask allows
    OwnerAndGroup,  // the owner and the file's group read and write, never others (passwords, the event log)
};

// Writes the bytes to a new file beside the path and renames it over the
// path: a crash leaves the old file whole, and a link at the path is replaced
// by the file, never written through. The new file gets the modes of the old
// one (or of the umask) and, in a group-shared folder, the folder's group
// with mode 0660 whatever the umask. Empty when the file holds the bytes, else the
// system's reason, for the caller to say with the file's name (the old file
// unchanged, no temporary file left); a failure also sets *failedAt when it
// is given.
QString saveFileReplacing(const QString& path, const QByteArray& bytes, SaveStage* failedAt = nullptr,
                          FileReaders readers = FileReaders::Folder);

// Opens the file for appending, making it when missing, without following a
// link: a link at the path is removed and a file made in its place. The
// descriptor (close-on-exec); invalid with errno set on failure.
UniqueFd openForAppending(const QString& path, FileReaders readers = FileReaders::Folder);

// Opens the file for writing from its start (emptied), making it when
// missing, for an output written in pieces (a peak list of the cache
// folder). Never through a link: a link or a file that has other names too
// (a hard link to somebody's file) at the path is removed and a new file made
// in its place; a folder (EISDIR) or a fifo (kNotRegularFile) stays and fails,
// never waited on. Invalid with errno set on failure.
UniqueFd openForWriting(const QString& path, FileReaders readers = FileReaders::Folder);

// Gives a file of ours the group modes of its folder (see saveFileReplacing);
// another user's file is left as it is. By path, a link is never followed.
void shareWithFolderGroup(int fd, const QString& folder, FileReaders readers = FileReaders::Folder);
void shareWithFolderGroup(const QString& path, FileReaders readers = FileReaders::Folder);

}  // namespace platform
