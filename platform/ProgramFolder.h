#pragma once
#include <QString>

namespace platform {

// The folder that holds the task database, the registry hive, the event log and
// the other files the programs keep beside themselves: $TAVREL_HOME when set,
// else the folder of the running executable. No trailing separator.
QString resolveProgramFolder();

}  // namespace platform
