#pragma once
// The service's one connection to the task database, opened by its settings
// loader and kept for the life of the process, with the next-key commands.
#include "common/TaskDbTables.h"
#include "platform/AdoCommand.h"
#include "platform/AdoConnection.h"
#include "platform/AdoRecordset.h"

namespace tavrelsvc {

inline platform::AdoConnection TaskDbConnection;

inline platform::AdoCommand NextTaskKeyCommand;
inline platform::AdoCommand NextResultKeyCommand;
inline platform::AdoCommand NextFileKeyCommand;

// Start-up, once TaskDbConnection is open.
inline void prepareNextKeyCommands() {
    NextTaskKeyCommand = platform::AdoCommand(TaskDbConnection, common::kNextTaskKeySql);
    NextResultKeyCommand = platform::AdoCommand(TaskDbConnection, common::kNextResultKeySql);
    NextFileKeyCommand = platform::AdoCommand(TaskDbConnection, common::kNextFileKeySql);
}

// The whole task table on TaskDbConnection, opened by start-up and used by the
// host's task start and recovery; a job writes through its own task row.
inline platform::AdoRecordset TasksRecordset;

}  // namespace tavrelsvc
