#pragma once
// Process-wide values of the service program, set by its start-up.
#include <QString>

namespace tavrelsvc {

inline QString ProgramFolder;            // no trailing separator
inline QString TempFolder;
inline QString LocalComputerName;        // selects the task rows this service answers
inline QString LocalUserName;
inline QString DefaultConnectionString;
inline bool ShuttingDown = false; // tested first by every timer tick and wait

}  // namespace tavrelsvc
