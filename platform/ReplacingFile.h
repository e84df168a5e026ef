#pragma once
// A file written as a new file beside its name and renamed over the name
// once it is whole. Whatever stood at the name (a link another account
// planted, a hard link to someone's file, the previous output) is replaced,
// never written through, and a reader never meets half a file.
#include "platform/SharedFile.h"
#include "platform/UniqueFd.h"

#include <QByteArray>
#include <QString>

namespace platform {

class ReplacingFile {
public:
    // Makes the new file: the modes of the file it replaces (or of the
    // umask) and, in a group-shared folder, the folder's group (see
    // shareWithFolderGroup). isOpen() is false when it could not be made.
    explicit ReplacingFile(const QString& path, FileReaders readers = FileReaders::Folder);
    // The new file is removed unless commit() renamed it.
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    bool isOpen() const { return fd_.valid(); }
    int fd() const { return fd_.get(); }
    const QString& path() const { return path_; }

    bool write(const char* data, qsizetype size);
    bool write(const QByteArray& bytes) { return write(bytes.constData(), bytes.size()); }

    // Closes the new file, after flushing it to the disk when `durable`, and
    // renames it over the path.
    bool commit(bool durable = false);

    // 0, or the errno of the first failure (making, writing, closing, renaming).
    int error() const { return error_; }
    // The system's text for error(); "it is a folder" for a folder at the path.
    QString errorText() const;

private:
    bool fail(int error);

    QString path_;
    QByteArray temporary_;
    UniqueFd fd_;
    int error_ = 0;
    bool made_ = false;
    bool renamed_ = false;
};

}  // namespace platform
