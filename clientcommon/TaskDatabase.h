#pragma once
// The client's one connection to the task database (the shared bundle of
// common/TaskDbConnection.h): opened by modGlobal_LoadPreferences, prepared
// and kept by start-up, used by every client subsystem.
#include "common/TaskDbConnection.h"

namespace tavrel {

using common::MaxFileNumberCommand;
using common::MaxResultNumberCommand;
using common::MaxTaskUidCommand;
using common::TaskDbConnection;
using common::TasksRecordset;

}  // namespace tavrel
