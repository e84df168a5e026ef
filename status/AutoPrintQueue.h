#pragma once
// Results waiting to be printed (auto_print non-zero). Each refresh takes at
// most one of them, and only of this computer's tasks, so that every result
// is printed once by the client of the computer that ran its task.
#include <QList>
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

// The queue of this computer's tasks as a refresh read it. It is still the
// queue for as long as nothing is committed to the task database: a refresh
// over an unchanged database takes from it without reading the results table.
class KeptAutoPrintQueue {
public:
    // As takeNextAutoPrint, from the queue as kept; it is read first when it
    // has been forgotten since it was read last.
    std::optional<QueuedPrint> takeNext(platform::AdoConnection& connection, const QSet<qint32>& localTasks,
                                        const std::function<bool(qint32)>& wanted = {});
    // Something may have been committed: the next use reads the queue again.
    void forget() { read_ = false; }

private:
    QList<QueuedPrint> queued_;
    bool read_ = false;
};

}  // namespace tavrel
