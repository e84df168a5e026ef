#pragma once
// Results waiting to be printed (auto_print non-zero). Each refresh takes at
// most one of them, and only of this computer's tasks, so that every result
// is printed once by the client of the computer that ran its task.
#include <QString>

#include <optional>

namespace platform {
class AdoConnection;
}

namespace tavrel {

// The first queued result of this computer's tasks, taken off the queue:
// answers its result_url (empty when it has none). Nothing when no result of
// this computer waits. A result that another client takes first is passed over.
std::optional<QString> takeNextAutoPrint(platform::AdoConnection& connection, const QString& localComputerName);

}  // namespace tavrel
