#pragma once
// The service's settings loader: fills the values of Preferences.h from the
// settings section "Preferences", proves that the default server answers and
// opens TaskDbConnection. Start-up calls it once, after the event log is open
// and ProgramFolder, DefaultConnectionString and LocalComputerName are set.
#include <QString>

#include <functional>

namespace tavrelsvc {

// True when every setting was taken, the default server answered
// "client.pl?version" and the task database is open. On False the reason has
// been written to the system event log (event id 109) and to the event log.
bool modGlobal_LoadPreferences();

// A scrambled password in clear; "" for an empty text. A damaged text is
// logged as "(TVS1054) ..." and gives "".
QString modGlobal_DecodePassword(const QString& stored);

// Where the loader's failures go besides the event log file: the system's
// event log unless a test listens instead. Returns the previous writer.
using SystemEventWriter = std::function<bool(int eventType, long eventId, const QString& message)>;
SystemEventWriter setSystemEventWriter(SystemEventWriter writer);

}  // namespace tavrelsvc
