#include "service/TaskDbReconnect.h"

#include "service/OutageLog.h"

#include "platform/Error.h"
#include "service/EventLog.h"
#include "service/TaskDb.h"
#include "service/Preferences.h"
#include "common/TaskDbConnection.h"

namespace tavrelsvc {

namespace {

OutageLog::Clock& outageClock() {
    static OutageLog::Clock clock = OutageLog::steadyClock();
    return clock;
}

OutageLog& outage() {
    static OutageLog value([] { return outageClock()(); });
    return value;
}

void log(short type, const QString& message) {
    modGlobal_WriteEventLog(type, 0, QStringLiteral(" "), QStringLiteral(" "), message);
}

QString database() { return common::describeTaskDatabase(ADOConnect); }

}  // namespace

bool taskDatabaseLost() { return outage().active(); }

OutageLog::Clock setTaskDbOutageClock(OutageLog::Clock clock) {
    OutageLog::Clock previous = std::move(outageClock());
    outageClock() = std::move(clock);
    outage() = OutageLog([] { return outageClock()(); });
    return previous;
}

bool noteTaskDatabaseFailure(const QString& engineText) {
    if (outage().active()) return true;
    if (!TaskDbConnection.isOpen() || TaskDbConnection.ping()) return false;
    outage().failed();
    log(EventError, QStringLiteral("The connection to the task database is lost (") + engineText +
                        QStringLiteral("); the service holds its tasks and connects again (") + database() +
                        QLatin1Char(')'));
    return true;
}

Reconnect reconnectTaskDatabase() {
    if (!outage().active()) return Reconnect::Connected;
    try {
        if (!TaskDbConnection.reopen()) {
            outage().ended();
            return Reconnect::TakenOver;
        }
    } catch (const platform::Error& e) {
        if (outage().failed() == OutageLog::Say::Reminder)
            log(EventError, QStringLiteral("The task database is still out of reach after %1 minutes (%2); the "
                                           "service holds its tasks and keeps trying (%3)")
                                .arg(outage().minutesLost())
                                .arg(e.description(), database()));
        return Reconnect::StillLost;
    }
    outage().ended();
    log(EventInfo, QStringLiteral("The connection to the task database is back; the service goes on (out of reach "
                                  "for %1 minutes)")
                       .arg(outage().minutesLost()));
    return Reconnect::Back;
}

}  // namespace tavrelsvc
