#pragma once
// The client's one connection to the task database, opened at start-up and
// kept until the client ends, with the commands that give each table's next key.
#include "common/TaskDbTables.h"
#include "platform/AdoCommand.h"
#include "platform/AdoConnection.h"

namespace tavrel {

inline platform::AdoConnection TaskDatabaseConnection;

inline platform::AdoCommand NextTaskKeyCommand;
inline platform::AdoCommand NextResultKeyCommand;
inline platform::AdoCommand NextFileKeyCommand;

// Start-up, once the connection is open and checked.
inline void prepareNextKeyCommands() {
    NextTaskKeyCommand = platform::AdoCommand(TaskDatabaseConnection, common::kNextTaskKeySql);
    NextResultKeyCommand = platform::AdoCommand(TaskDatabaseConnection, common::kNextResultKeySql);
    NextFileKeyCommand = platform::AdoCommand(TaskDatabaseConnection, common::kNextFileKeySql);
}

}  // namespace tavrel
