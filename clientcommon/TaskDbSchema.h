#pragma once
// Making the task database's tables and carrying the rows of an older layout
// into them (client side). Each operation reports its own failure in the
// client's report box and answers false.
#include <QString>

namespace platform {
class AdoConnection;
}

namespace tavrel {

// Layout codes of an old database: 1 = the old table names "Task", "Results",
// "Files"; 2 = the current names with a column missing or pre_task_wait "not null".
inline constexpr int kLayoutOldTableNames = 1;
inline constexpr int kLayoutMissingColumn = 2;

// Files, Results, Tasks with every column, and their indexes. Runs in one
// transaction (or in the caller's), so a failure leaves no table behind.
bool modGlobal_CreateTaskDatabase(platform::AdoConnection& connection);

// Adds the indexes a database of the current layout lacks (one made before
// they were part of it). An index changes no row and no answer, so one that
// cannot be made (the user does not own the tables) is left out: the
// programs then work as before, only slower over a long history.
void addMissingTaskDbIndexes(platform::AdoConnection& connection);

// Moves the three tables of the given layout into the holding tables
// "Sorvex_Tavrel_*_Temp". Codes other than 1 and 2 do nothing.
bool modGlobal_CopyTablesToTemp(platform::AdoConnection& connection, int layoutCode);

// Copies the holding tables into the new tables by column name and drops
// them. Rows of the very old layout (column UID in the files table) are mapped
// column by column; their tasks get this client's user and computer name. An
// old column with no place in the new tables is refused rather than dropped.
bool modGlobal_CopyTablesFromTemp(platform::AdoConnection& connection, int layoutCode,
                                  const QString& localUserName, const QString& localComputerName);

// The whole upgrade in one transaction: to temp, create, from temp. It stops
// at the first failing step, and then the database is as it was before.
bool modGlobal_UpgradeTaskDatabase(platform::AdoConnection& connection, int layoutCode,
                                   const QString& localUserName, const QString& localComputerName);

}  // namespace tavrel
