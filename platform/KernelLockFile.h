#pragma once
// A lock that the kernel holds on an open file for as long as this object
// keeps it: one service per program folder, one client per user, one writer
// of the hive at a time. What the file holds never decides (an empty file, a
// process id of someone else's, a lock left by a power cut), a holder that
// has gone never blocks, and the lock lies in a folder other accounts write:
// a link, a fifo, an empty folder or another account's private file in its
// place is replaced by a lock file of ours, never followed or waited on.
#include "platform/SharedFile.h"
#include "platform/UniqueFd.h"

#include <QByteArray>
#include <QString>

namespace platform {

class KernelLockFile {
public:
    enum class Outcome {
        Taken,    // this object holds the lock now
        Held,     // a running process holds it
        Refused,  // the lock cannot be had; problem() says why and what mends it
    };

    KernelLockFile() = default;
    KernelLockFile(KernelLockFile&&) = default;
    KernelLockFile& operator=(KernelLockFile&&) = default;

    // One attempt: never waits for a holder.
    Outcome tryLock(const QString& path, FileReaders readers = FileReaders::Folder);
    // Attempts until taken, refused, or `waitMs` have passed while it is held.
    Outcome lock(const QString& path, int waitMs, FileReaders readers = FileReaders::Folder);
    void unlock() { fd_.reset(); }
    bool isLocked() const { return fd_.valid(); }
    int fd() const { return fd_.get(); }

    // After Refused: the path, what is wrong and the step that mends it.
    const QString& problem() const { return problem_; }

    // What the holder leaves in the file for whoever finds the lock held
    // (its process id): a message's detail, never a reason.
    void writeNote(const QByteArray& note);
    static QByteArray readNote(const QString& path);

    // True when a process holds a lock on the file the path names, whoever
    // it is (the kernel's lock table lists every lock with its file's inode).
    static bool isHeld(const QString& path);

private:
    Outcome refuse(const QString& problem);

    UniqueFd fd_;
    QString problem_;
};

}  // namespace platform
