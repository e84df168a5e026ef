#pragma once
// The service's helpers for task-database rows. Each reports its own failure
// to the event log (an Error with task 0) and raises nothing.
#include <QString>
#include <QVariant>

namespace platform {
class AdoCommand;
class AdoRecordset;
}  // namespace platform

namespace tavrelsvc {

// The key the row being added was stored under, or 0 (row cancelled) after
// "(TVS1061) ..." for a failure other than a taken key or "(TVS1062) ..."
// when 100 keys in a row were taken.
long modGlobal_AddRowWithNewKey(platform::AdoRecordset& rs, const platform::AdoCommand& nextKeyCommand,
                                const QString& keyColumn);

// Stores the changed current row; false after "(TVS1059) ...". Either way the
// recordset is re-read and stands on the same row.
bool modGlobal_UpdateRecord(platform::AdoRecordset& rs);

QVariant modGlobal_NullToDefault(const QVariant& value, const QVariant& defaultValue);

// True when the task row's computer_name is LocalComputerName, letter case
// ignored; a Null computer_name belongs only to a service without a name. A
// failed query answers false; a missing row answers true, each after "(TVS1049) ...".
bool modGlobal_IsTaskOfThisComputer(const QString& taskUID, short quiet = 0);
// The same rule on a computer_name already read.
bool isThisComputersTask(const QVariant& computerName);

// No task of this system belongs to the Ostrane product.
inline bool modGlobal_IsOstraneTask(const QString&, short = 0) { return false; }

}  // namespace tavrelsvc
