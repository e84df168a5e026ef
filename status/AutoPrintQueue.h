#pragma once
// Results waiting to be printed (auto_print non-zero). Each refresh takes at
// most one of them, and only of this computer's tasks, so that every result
// is printed once by the client of the computer that ran its task.
#include <QSet>
#include <QString>

#include <functional>
#include <optional>

namespace platform {
class AdoConnection;
}

namespace tavrel {

struct QueuedPrint {
    qint32 resultNumber = 0;
    QString url;  // empty when the result has no page
    bool operator==(const QueuedPrint&) const = default;
};

// The first queued result of one of `localTasks` (this computer's tasks, as
// the refresh read them) that `wanted` accepts (all when empty), taken off the
// queue. Nothing when none of them waits. A result that another client takes
// first is passed over.
std::optional<QueuedPrint> takeNextAutoPrint(platform::AdoConnection& connection, const QSet<qint32>& localTasks,
                                             const std::function<bool(qint32 resultNumber)>& wanted = {});

// Puts a taken result back in the queue: its page could not be printed this time.
void requeueAutoPrint(platform::AdoConnection& connection, qint32 resultNumber);

}  // namespace tavrel
