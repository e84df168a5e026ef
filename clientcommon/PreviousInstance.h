#pragma once
// One client per user and program folder. The first start holds a lock and
// answers on a local channel; a second start finds the lock taken, asks the
// first to bring its window forward and ends.
#include "platform/KernelLockFile.h"
#include "platform/LocalChannel.h"

#include <QString>

#include <functional>
#include <memory>

namespace tavrel {

// The channel a client of this user and program folder answers on.
QString clientInstanceChannel(const QString& programFolder, const QString& userName);

class InstanceClaim {
public:
    InstanceClaim(const QString& programFolder, const QString& userName);
    ~InstanceClaim();
    InstanceClaim(const InstanceClaim&) = delete;
    InstanceClaim& operator=(const InstanceClaim&) = delete;

    // False when another client of the same user and folder runs, or when
    // the claim cannot be made at all (problem() says why). The lock is the
    // kernel's: one left by a client that died, or a file planted in its
    // place, does not count.
    bool isFirst() const { return lock_.isLocked(); }
    // Empty unless the claim could not be made for another reason than a
    // running instance: the program folder named, with the system's reason.
    QString problem() const { return problem_; }
    // Whether the problem is that the program folder cannot be written (the
    // group step mends it), not the lock file itself.
    bool problemIsFolderAccess() const { return folderAccess_; }

    // Only the first instance listens; bringForward runs on the event loop
    // each time a second start asks.
    bool listen(std::function<void()> bringForward, QString* error = nullptr);

private:
    QString channel_;
    QString problem_;
    bool folderAccess_ = true;
    platform::KernelLockFile lock_;
    std::function<void()> bringForward_;
    platform::LocalChannelServer server_;
};

// Called when the claim could not be made: the user is told what is wrong
// (the program folder, the system's reason) and the step that mends it (the
// group step when the folder cannot be written), on stderr and in a message.
void modGlobal_ReportInstanceProblem(const QString& problem, const QString& programFolder, bool folderAccess = true);

// Called by a second start: the first instance of this user and program folder
// brings its window forward; when it cannot be reached the user is told.
void modGlobal_CheckPreviousInstance();

}  // namespace tavrel
