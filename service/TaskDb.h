#pragma once
// The service's one connection to the task database (the shared bundle of
// common/TaskDbConnection.h): opened by its settings loader, kept for the life
// of the process, with the next-key commands. The whole task table
// (TasksRecordset) is opened by start-up and used by the host's task start and
// recovery; a job writes through its own task row.
#include "common/TaskDbConnection.h"

namespace tavrelsvc {

using common::MaxFileNumberCommand;
using common::MaxResultNumberCommand;
using common::MaxTaskUidCommand;
using common::TaskDbConnection;
using common::TasksRecordset;

// Start-up, once TaskDbConnection is open.
inline void prepareNextKeyCommands() { common::ProgramTaskDatabase.prepareNextKeyCommands(); }

}  // namespace tavrelsvc
