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

QString describeTaskDatabase(const QString& connectionString) {
    try {
        const auto cs = platform::OleDbConnectionString::parse(connectionString);
        const QString provider = cs.provider();
        if (provider.startsWith(QStringLiteral("Microsoft.Jet.OLEDB"), Qt::CaseInsensitive))
            return QStringLiteral("the SQLite file ") + cs.dataSource();
        if (provider.compare(QStringLiteral("PostgreSQL"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("the PostgreSQL database %1 on %2 as %3")
                .arg(cs.value(QStringLiteral("Initial Catalog")), cs.dataSource(), cs.value(QStringLiteral("User ID")));
        return QStringLiteral("the database of provider \"%1\"").arg(provider);
    } catch (const std::exception&) {
        return QStringLiteral("a database whose connection string cannot be read");
    }
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
