#include "service/DbRows.h"

#include "common/NewKey.h"
#include "platform/AdoErrors.h"
#include "platform/AdoRecordset.h"
#include "platform/Error.h"
#include "service/EventLog.h"
#include "service/Globals.h"
#include "service/TaskDb.h"
#include "service/TaskDbReconnect.h"

namespace tavrelsvc {

namespace {

void logError(const QString& message) {
    modGlobal_WriteEventLog(EventError, 0, QStringLiteral(" "), QStringLiteral(" "), message);
}

}  // namespace

long modGlobal_AddRowWithNewKey(platform::AdoRecordset& rs, const platform::AdoCommand& nextKeyCommand,
                                const QString& keyColumn) {
    const common::NewKeyOutcome outcome = common::addRowWithNewKey(rs, nextKeyCommand, keyColumn);
    if (outcome.error && noteTaskDatabaseFailure(outcome.error->description())) return outcome.key;
    if (outcome.error)
        logError(QStringLiteral("(TVS1061) ActivX automation error updating ") + rs.source() + QLatin1Char(' ') +
                 platform::adoerr::hexNumber(outcome.error->number()) + QStringLiteral(": ") +
                 outcome.error->description());
    else if (outcome.exhausted)
        logError(QStringLiteral("(TVS1062) Unable to update ") + rs.source() + QStringLiteral(" after ") +
                 QString::number(common::kNewKeyAttempts) + QStringLiteral(" attempts"));
    return outcome.key;
}

bool modGlobal_UpdateRecord(platform::AdoRecordset& rs) {
    const QString source = rs.source();
    const auto failure = common::updateAndReread(rs);
    if (!failure) return true;
    if (noteTaskDatabaseFailure(failure->description())) return false;  // the outage is reported once
    logError(QStringLiteral("(TVS1059) ActivX automation error updating ") + source + QLatin1Char(' ') +
             QString::number(failure->number()) + QStringLiteral(": ") + failure->description());
    return false;
}

QVariant modGlobal_NullToDefault(const QVariant& value, const QVariant& defaultValue) {
    return value.isNull() ? defaultValue : value;
}

bool isThisComputersTask(const QVariant& computer) {
    if (computer.isNull()) return LocalComputerName.isEmpty();
    return computer.toString().toUpper() == LocalComputerName.toUpper();
}

bool modGlobal_IsTaskOfThisComputer(const QString& taskUID, short) {
    platform::AdoRecordset rs;
    try {
        bool ok = false;
        const qint32 key = taskUID.trimmed().toInt(&ok);
        if (!ok)
            throw platform::Error(platform::adoerr::InvalidArgument,
                                  QStringLiteral("Invalid task number \"%1\"").arg(taskUID));
        rs.openQuery(TaskDbConnection,
                     QStringLiteral("SELECT user_name,computer_name FROM Sorvex_Tavrel_Tasks where task_UID = ?"),
                     {key}, QString(), 15);
    } catch (const platform::Error& e) {
        if (!noteTaskDatabaseFailure(e.description())) logError(e.report(QStringLiteral("(TVS1049) ")));
        return false;
    }
    try {
        return isThisComputersTask(rs.value(QStringLiteral("computer_name")));
    } catch (const platform::Error& e) {
        logError(e.report(QStringLiteral("(TVS1049) ")));
        return true;
    }
}

}  // namespace tavrelsvc
