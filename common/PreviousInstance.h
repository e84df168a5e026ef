#pragma once
// One client per user and program folder. The first start holds a lock and
// answers on a local channel; a second start finds the lock taken, asks the
// first to bring its window forward and ends.
#include "platform/LocalChannel.h"

#include <QString>

#include <functional>
#include <memory>

class QLockFile;

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
    // the claim cannot be made at all (problem() says why). A lock left by a
    // client that died does not count.
    bool isFirst() const { return lock_ != nullptr; }
    // Empty unless the claim could not be made for another reason than a
    // running instance: the program folder named, with the system's reason.
    QString problem() const { return problem_; }

    // Only the first instance listens; bringForward runs on the event loop
    // each time a second start asks.
    bool listen(std::function<void()> bringForward, QString* error = nullptr);

private:
    QString channel_;
    QString problem_;
    std::unique_ptr<QLockFile> lock_;
    std::function<void()> bringForward_;
    platform::LocalChannelServer server_;
};

// Called when the claim could not be made: the user is told what is wrong
// (the program folder, the system's reason) and the step that mends it, on
// stderr and in a message.
void modGlobal_ReportInstanceProblem(const QString& problem, const QString& programFolder);

// Called by a second start: the first instance of this user and program folder
// brings its window forward; when it cannot be reached the user is told.
void modGlobal_CheckPreviousInstance();

}  // namespace tavrel
