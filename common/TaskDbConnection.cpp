#include "common/TaskDbConnection.h"

#include "common/TaskDbTables.h"
#include "platform/OleDbConnectionString.h"

#include <QDir>

namespace common {

namespace {

constexpr int kNextKeyTimeoutSeconds = 15;

}  // namespace

QString defaultConnectionString(const QString& programFolder) {
    const QString file = QDir(programFolder).filePath(TaskDatabaseFileName);
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0; Data Source=") +
           platform::OleDbConnectionString::quoteValue(file) +
           QStringLiteral("; Mode=Read|Write|Share Deny None; Persist Security Info=False");
}

void TaskDatabase::prepareNextKeyCommands() {
    nextTaskKey = platform::AdoCommand(connection, kNextTaskKeySql, kNextKeyTimeoutSeconds);
    nextResultKey = platform::AdoCommand(connection, kNextResultKeySql, kNextKeyTimeoutSeconds);
    nextFileKey = platform::AdoCommand(connection, kNextFileKeySql, kNextKeyTimeoutSeconds);
}

void TaskDatabase::close() noexcept {
    try {
        tasks.close();
    } catch (...) {
    }
    nextTaskKey = nextResultKey = nextFileKey = platform::AdoCommand();
    try {
        connection.close();
    } catch (...) {
    }
}

}  // namespace common
