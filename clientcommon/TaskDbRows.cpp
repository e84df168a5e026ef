#include "clientcommon/TaskDbRows.h"

#include "common/NewKey.h"
#include "clientcommon/TaskDatabase.h"
#include "common/TaskDbTables.h"
#include "platform/AdoErrors.h"
#include "platform/AdoRecordset.h"
#include "platform/Error.h"
#include "platform/MessageBox.h"

namespace tavrel {

namespace {

const QString kTitle = QStringLiteral("Sorvex Tavrel");
constexpr int kLookupTimeoutSeconds = 15;

// Task keys arrive as text; they are bound as numbers, never pasted into SQL.
qint32 taskKeyNumber(const QString& taskKey) {
    bool ok = false;
    const qint32 key = taskKey.trimmed().toInt(&ok);
    if (!ok)
        throw platform::Error(platform::adoerr::InvalidArgument,
                              QStringLiteral("Invalid task number \"%1\"").arg(taskKey));
    return key;
}

platform::AdoRecordset ownerRow(const QString& taskKey) {
    platform::AdoRecordset rs;
    rs.openQuery(TaskDbConnection,
                 QStringLiteral("SELECT user_name,computer_name FROM Sorvex_Tavrel_Tasks where task_UID = ?"),
                 {taskKeyNumber(taskKey)}, QString(), kLookupTimeoutSeconds);
    rs.value(0);  // a missing row raises here
    return rs;
}

bool sameName(const QVariant& stored, const QString& local) {
    if (stored.isNull()) return local.isEmpty();
    return stored.toString().toUpper() == local.toUpper();
}

void showOwner(const platform::AdoRecordset& rs) {
    platform::MsgBox(QStringLiteral("This task is owned by ") + rs.value(QStringLiteral("user_name")).toString() +
                         QLatin1Char('@') + rs.value(QStringLiteral("computer_name")).toString(),
                     platform::vbOKOnly, kTitle);
}

}  // namespace

long modGlobal_AddRowWithNewKey(platform::AdoRecordset& rs, const platform::AdoCommand& nextKeyCommand,
                                const QString& keyColumn) {
    const common::NewKeyOutcome outcome = common::addRowWithNewKey(rs, nextKeyCommand, keyColumn);
    if (outcome.error)
        platform::MsgBox(QStringLiteral("ActivX automation error ") + platform::adoerr::hexNumber(outcome.error->number()) +
                             rs.source() + QLatin1Char(' ') + outcome.error->description(),
                         platform::vbOKOnly, kTitle);
    else if (outcome.exhausted)
        platform::MsgBox(QStringLiteral("Unable to update ADO recordset ") + rs.source() + QStringLiteral(" after ") +
                             QString::number(common::kNewKeyAttempts) + QStringLiteral(" attempts"),
                         platform::vbOKOnly, kTitle);
    return outcome.key;
}

bool modGlobal_UpdateRecord(platform::AdoRecordset& rs) {
    const QString source = rs.source();
    const auto failure = common::updateAndReread(rs);
    if (!failure) return true;
    platform::MsgBox(QStringLiteral("ActivX automation error updating ") + source + QString::number(failure->number()) +
                         QLatin1Char(' ') + failure->description(),
                     platform::vbOKOnly, kTitle);
    return false;
}

bool modGlobal_IsTaskOwner(const QString& taskKey, bool showMessage, const QString& localUserName,
                           const QString& localComputerName) {
    const platform::AdoRecordset rs = ownerRow(taskKey);
    const bool owner = sameName(rs.value(QStringLiteral("computer_name")), localComputerName) &&
                       sameName(rs.value(QStringLiteral("user_name")), localUserName);
    if (!owner && showMessage) showOwner(rs);
    return owner;
}

bool modGlobal_IsTaskOfThisComputer(const QString& taskKey, bool showMessage, const QString& localComputerName) {
    const platform::AdoRecordset rs = ownerRow(taskKey);
    const bool ours = sameName(rs.value(QStringLiteral("computer_name")), localComputerName);
    if (!ours && showMessage) showOwner(rs);
    return ours;
}

QString modGlobal_GetTaskColumn(const QString& taskKey, const QString& columnName) {
    // The column name is checked against the table, so it can be part of the statement.
    QString column;
    for (const auto& c : common::taskDbTable(common::kTasksTable).columns)
        if (c.name.compare(columnName.trimmed(), Qt::CaseInsensitive) == 0) column = c.name;
    if (column.isEmpty())
        throw platform::Error(platform::adoerr::ItemNotFound,
                              QStringLiteral("Sorvex_Tavrel_Tasks has no column \"%1\"").arg(columnName));
    platform::AdoRecordset rs;
    rs.openQuery(TaskDbConnection,
                 QStringLiteral("SELECT %1 FROM Sorvex_Tavrel_Tasks where task_UID = ?").arg(column),
                 {taskKeyNumber(taskKey)}, QString(), kLookupTimeoutSeconds);
    const QVariant v = rs.value(0);
    if (v.isNull()) throw platform::Error(94, QStringLiteral("Invalid use of Null (%1 of task %2)").arg(column, taskKey));
    return v.toString();
}

}  // namespace tavrel
