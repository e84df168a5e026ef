#pragma once
// Files of the program folder are written by several accounts: the service's
// user and every lab user of its group. Whatever one account writes there the
// next must be able to read and replace, and no file planted by one of them
// (a symbolic link to another user's file) may make a program write elsewhere.
// Every writer of the program folder goes through these calls.
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
    Folder,         // the folder's group when the folder is group-writable; others as the umask allows
    OwnerAndGroup,  // the owner and the file's group read and write, never others (passwords, the event log)
};

// Writes the bytes to a new file beside the path and renames it over the
// path: a crash leaves the old file whole, and a link at the path is replaced
// by the file, never written through. The new file gets the modes of the old
// one (or of the umask) and, in a group-writable folder, the folder's group
// with group read and write. Empty when the file holds the bytes, else the
// system's reason, for the caller to say with the file's name (the old file
// unchanged, no temporary file left); a failure also sets *failedAt when it
// is given.
QString saveFileReplacing(const QString& path, const QByteArray& bytes, SaveStage* failedAt = nullptr,
                          FileReaders readers = FileReaders::Folder);

// Opens the file for appending, making it when missing, without following a
// link: a link at the path is removed and a file made in its place. The
// descriptor (close-on-exec) or -1 with errno set.
int openForAppending(const QString& path, FileReaders readers = FileReaders::Folder);

// Gives a file of ours the group modes of its folder (see saveFileReplacing);
// another user's file is left as it is. By path, a link is never followed.
void shareWithFolderGroup(int fd, const QString& folder, FileReaders readers = FileReaders::Folder);
void shareWithFolderGroup(const QString& path, FileReaders readers = FileReaders::Folder);

}  // namespace platform
