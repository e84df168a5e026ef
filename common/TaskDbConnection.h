#pragma once
// A program's one connection to the task database, shared by everything in the
// program from start-up to shut-down: the connection, the shared recordset
// over the tasks table and the commands that give each table's largest key.
// Client and service are separate processes, so each has exactly one.
#include "platform/AdoCommand.h"
#include "platform/AdoConnection.h"
#include "platform/AdoRecordset.h"

#include <QString>

namespace common {

// The database file of the built-in connection, in the program folder.
inline const QString TaskDatabaseFileName = QStringLiteral("TaskDB.mdb");

// The connection both programs use while ADOConnect is not set: the task
// database file in the program folder, opened for shared reading and writing.
QString defaultConnectionString(const QString& programFolder);

// Which database a connection string names, for a message: "the SQLite file
// F", "the PostgreSQL database D on HOST as USER" (never the password).
QString describeTaskDatabase(const QString& connectionString);

struct TaskDatabase {
    platform::AdoConnection connection;   // first in, last out: the others use it
    platform::AdoRecordset tasks;         // whole Sorvex_Tavrel_Tasks, opened by start-up
    platform::AdoCommand nextTaskKey;     // for modGlobal_AddRowWithNewKey
    platform::AdoCommand nextResultKey;
    platform::AdoCommand nextFileKey;

    // Start-up, once the connection is open and its tables checked.
    void prepareNextKeyCommands();
    // Shut-down: the recordset and the connection; never throws.
    void close() noexcept;
};

inline TaskDatabase ProgramTaskDatabase;

// The names both programs use for its parts.
inline platform::AdoConnection& TaskDbConnection = ProgramTaskDatabase.connection;
inline platform::AdoRecordset& TasksRecordset = ProgramTaskDatabase.tasks;
inline platform::AdoCommand& MaxTaskUidCommand = ProgramTaskDatabase.nextTaskKey;
inline platform::AdoCommand& MaxResultNumberCommand = ProgramTaskDatabase.nextResultKey;
inline platform::AdoCommand& MaxFileNumberCommand = ProgramTaskDatabase.nextFileKey;

}  // namespace common
