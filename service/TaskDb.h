#pragma once
// The service's names for its one connection to the task database (the shared
// bundle of common/TaskDbConnection.h): opened by its settings loader, kept
// for the life of the process, with the next-key commands.
#include "common/TaskDbConnection.h"

namespace tavrelsvc {

inline platform::AdoConnection& TaskDbConnection = common::ProgramTaskDatabase.connection;

inline platform::AdoCommand& NextTaskKeyCommand = common::ProgramTaskDatabase.nextTaskKey;
inline platform::AdoCommand& NextResultKeyCommand = common::ProgramTaskDatabase.nextResultKey;
inline platform::AdoCommand& NextFileKeyCommand = common::ProgramTaskDatabase.nextFileKey;

// Start-up, once TaskDbConnection is open.
inline void prepareNextKeyCommands() { common::ProgramTaskDatabase.prepareNextKeyCommands(); }

// The whole task table on TaskDbConnection, opened by start-up and used by the
// host's task start and recovery; a job writes through its own task row.
inline platform::AdoRecordset& TasksRecordset = common::ProgramTaskDatabase.tasks;

}  // namespace tavrelsvc
