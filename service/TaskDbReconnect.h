#pragma once
// The task database connection while the service runs. A connection that is
// lost (the database server restarted, the connection was cut) is noticed
// once: the jobs and the request poll hold still meanwhile, the poll opens
// the connection again, and one line says when the outage began, a reminder
// comes at most every five minutes, and one line says when it ended,
// however many ticks it lasted.
#include "service/OutageLog.h"

#include <QString>

namespace tavrelsvc {

// True while the connection is known to be lost.
bool taskDatabaseLost();

// After a failure of the task database: true when the connection is gone
// (the outage is logged once, with the engine's text); false for any other
// failure, which its caller reports as usual.
bool noteTaskDatabaseFailure(const QString& engineText);

enum class Reconnect {
    Connected,  // the connection was not lost
    Back,       // it was lost and works again
    StillLost,  // the database cannot be reached yet; nothing more is logged
    TakenOver,  // another service of this computer took the database meanwhile
};

// Opens the lost connection again, taking its session lock again.
Reconnect reconnectTaskDatabase();

// The clock of the outage's reminders (tests); forgets any outage. Answers the previous one.
OutageLog::Clock setTaskDbOutageClock(OutageLog::Clock clock);

}  // namespace tavrelsvc
