#pragma once
// Results waiting to be printed (auto_print non-zero). Each refresh takes at
// most one of them, and only of this computer's tasks, so that every result
// is printed once by the client of the computer that ran its task.
#include <QSet>
#include <QString>

#include <optional>

namespace platform {
class AdoConnection;
}

namespace tavrel {

// The first queued result of one of `localTasks` (this computer's tasks, as
// the refresh read them), taken off the queue: answers its result_url (empty
// when it has none). Nothing when none of them waits. A result that another
// client takes first is passed over.
std::optional<QString> takeNextAutoPrint(platform::AdoConnection& connection, const QSet<qint32>& localTasks);

}  // namespace tavrel
