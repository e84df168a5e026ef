#pragma once
// The client's start-up look at the task database: is it of this version, an
// older one that can be brought up to date, or one this client must not use?
#include <QString>

namespace platform {
class AdoConnection;
}

namespace tavrel {

// Error raised when the database belongs to the Ostrane product.
inline constexpr long kOstraneDatabaseError = 1001;

// What the start-up does next.
enum class TaskDbCheckResult {
    Ready,                   // the database has the current layout (after an upgrade, perhaps)
    ShowConnectionSettings,  // open the preferences dialog on its database page (2)
    EndClient,               // the user chose to leave, or the upgrade failed
};

// Reads the columns the start-up relies on and answers 0 for the current
// layout or the code of an older one; throws platform::Error when the
// database cannot be read that far (missing table 0x80040E37, missing column
// 3265, kOstraneDatabaseError, ...).
int taskDatabaseLayoutCode(platform::AdoConnection& connection);

// The whole check with its questions and messages; runs the upgrade when the
// user agrees (once per call).
TaskDbCheckResult modGlobal_CheckTaskDatabase(platform::AdoConnection& connection, const QString& localUserName,
                                              const QString& localComputerName);

}  // namespace tavrel
