#pragma once
// The client's names for its one connection to the task database (the shared
// bundle of common/TaskDbConnection.h): opened by modGlobal_LoadPreferences,
// prepared and kept by start-up, used by every client subsystem.
#include "common/TaskDbConnection.h"

namespace tavrel {

inline platform::AdoConnection& TaskDatabaseConnection = common::ProgramTaskDatabase.connection;
inline platform::AdoRecordset& TasksRecordset = common::ProgramTaskDatabase.tasks;

inline platform::AdoCommand& MaxTaskUidCommand = common::ProgramTaskDatabase.nextTaskKey;
inline platform::AdoCommand& MaxResultNumberCommand = common::ProgramTaskDatabase.nextResultKey;
inline platform::AdoCommand& MaxFileNumberCommand = common::ProgramTaskDatabase.nextFileKey;

}  // namespace tavrel
