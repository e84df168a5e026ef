#include "clientcommon/TaskDbCheck.h"

#include "common/EventLogLine.h"
#include "clientcommon/EventMessage.h"
#include "common/Secrets.h"
#include "clientcommon/TaskDbSchema.h"
#include "common/TaskDbTables.h"
#include "platform/AdoConnection.h"
#include "platform/AdoErrors.h"
#include "platform/AdoRecordset.h"
#include "platform/Error.h"
#include "platform/MessageBox.h"

namespace tavrel {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kTitle = QStringLiteral("Sorvex Tavrel");

// Opens the table's columns without reading its rows.
platform::AdoRecordset openColumns(platform::AdoConnection& c, const QString& table) {
    platform::AdoRecordset rs;
    rs.openQuery(c, QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(table), {}, table);
    return rs;
}

bool isFileDatabase(const platform::AdoConnection& c) {
    return c.connectionString().contains(QStringLiteral("Microsoft.Jet.OLEDB"), Qt::CaseInsensitive);
}

void showUnreadable(const platform::Error& e) {
    platform::MsgBox(QStringLiteral("Cannot retrieve data from current task database.") + kCrLf +
                         QStringLiteral("Modify the connection settings or create a new database.") + kCrLf + kCrLf +
                         QStringLiteral("Error number ") + platform::adoerr::hexNumber(e.number()) + kCrLf + kCrLf +
                         e.description(),
                     platform::vbOKOnly, kTitle);
}

}  // namespace

int taskDatabaseLayoutCode(platform::AdoConnection& connection) {
    platform::AdoRecordset tasks = openColumns(connection, common::kTasksTable);
    if (tasks.hasField(QStringLiteral("gkr_user_name")))
        throw platform::Error(kOstraneDatabaseError,
                              QStringLiteral("A standard Tavrel client is not permitted to connect to a Sorvex "
                                             "Ostrane database"));
    tasks.fieldAttributes(QStringLiteral("auto_print"));
    if (!(tasks.fieldAttributes(QStringLiteral("pre_task_wait")) & platform::adFldIsNullable))
        return kLayoutMissingColumn;
    for (const char* name : {"action_request", "merge_data_files", "filter_fields"})
        tasks.fieldAttributes(QString::fromLatin1(name));
    platform::AdoRecordset files = openColumns(connection, common::kFilesTable);
    files.fieldAttributes(QStringLiteral("sample_number"));
    files.fieldAttributes(QStringLiteral("peak_list"));
    return 0;
}

TaskDbCheckResult modGlobal_CheckTaskDatabase(platform::AdoConnection& connection, const QString& localUserName,
                                              const QString& localComputerName) {
    bool upgraded = false;
    for (;;) {
        int code = 0;
        try {
            code = taskDatabaseLayoutCode(connection);
        } catch (const platform::Error& e) {
            const bool missingTable = e.number() == platform::adoerr::TableNotFound;
            const bool missingColumn = e.number() == platform::adoerr::ItemNotFound;
            if (!missingTable && !missingColumn) {
                showUnreadable(e);
                return TaskDbCheckResult::ShowConnectionSettings;
            }
            if (!isFileDatabase(connection)) {
                const int answer = platform::MsgBox(
                    QStringLiteral("The Sorvex Tavrel task database requires updating.") + kCrLf + kCrLf +
                        QStringLiteral("To modify the connection settings, choose Retry.") + kCrLf + kCrLf +
                        QStringLiteral("To exit, so that the current database can be modified, choose Cancel.") +
                        kCrLf + kCrLf + QStringLiteral("Refer to the Tavrel documentation for instructions on") +
                        QStringLiteral(" using the SQL script for ") +
                        common::maskSecrets(connection.connectionString()),
                    platform::vbRetryCancel, kTitle);
                return answer == platform::vbRetry ? TaskDbCheckResult::ShowConnectionSettings
                                                   : TaskDbCheckResult::EndClient;
            }
            if (missingColumn) {
                code = kLayoutMissingColumn;
            } else {
                bool oldNames = false;
                try {
                    oldNames = connection.tableExists(QStringLiteral("Task"));
                } catch (const platform::Error&) {
                }
                if (!oldNames) {
                    showUnreadable(e);
                    return TaskDbCheckResult::ShowConnectionSettings;
                }
                code = kLayoutOldTableNames;
            }
        }
        if (code == 0) {
            addMissingTaskDbIndexes(connection);
            return TaskDbCheckResult::Ready;
        }
        if (upgraded) {
            // The upgrade ran and the layout is still old: asking again would loop.
            modGlobal_ShowEventMessage(common::EventError, 0, QStringLiteral(" "), QStringLiteral(" "),
                                       QStringLiteral("Task database is still from an earlier version of Sorvex "
                                                      "Tavrel after its update."));
            return TaskDbCheckResult::EndClient;
        }
        const int answer = platform::MsgBox(
            QStringLiteral("Task database is from an earlier version of Sorvex Tavrel and must be updated.") + kCrLf +
                QStringLiteral("If the database contains valuable information, you should press cancel") +
                kCrLf + QStringLiteral("and make a backup before proceeding"),
            platform::vbOKCancel, kTitle);
        if (answer != platform::vbOK) return TaskDbCheckResult::EndClient;
        if (!modGlobal_UpgradeTaskDatabase(connection, code, localUserName, localComputerName))
            return TaskDbCheckResult::EndClient;
        upgraded = true;
    }
}

}  // namespace tavrel
