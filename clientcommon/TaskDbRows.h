#pragma once
// The client's helpers for task-database rows: new keys, stored changes, task
// ownership, Null defaults and single task columns. The ownership helpers and
// modGlobal_GetTaskColumn work on TaskDbConnection.
#include <QString>
#include <QVariant>

namespace platform {
class AdoCommand;
class AdoRecordset;
}  // namespace platform

namespace tavrel {

// Stores the row being added under a fresh key and answers it; 0 after a
// reported failure (the new row is then cancelled).
long modGlobal_AddRowWithNewKey(platform::AdoRecordset& rs, const platform::AdoCommand& nextKeyCommand,
                                const QString& keyColumn);

// Stores the changed current row; false after a reported failure. Either way
// the recordset is re-read and stands on the same row.
bool modGlobal_UpdateRecord(platform::AdoRecordset& rs);

// The task row's user and computer are this client's (names without regard to
// case). Database errors, a missing row among them, are thrown as platform::Error.
bool modGlobal_IsTaskOwner(const QString& taskKey, bool showMessage, const QString& localUserName,
                           const QString& localComputerName);
// Only the computer is compared.
bool modGlobal_IsTaskOfThisComputer(const QString& taskKey, bool showMessage, const QString& localComputerName);

inline QVariant modGlobal_NullToDefault(const QVariant& value, const QVariant& defaultValue) {
    return value.isNull() ? defaultValue : value;
}

// The text of one column of one task; a Null column or an unknown column name
// throws platform::Error.
QString modGlobal_GetTaskColumn(const QString& taskKey, const QString& columnName);

}  // namespace tavrel
